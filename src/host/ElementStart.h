#pragma once
// The first step of every element creator of the host layer.

#include "host_elements.h"

namespace pln::gsutil {

// Zeroes a record of the kind, takes the host's defaults and puts it on the
// given layer and story; a layer of 0 and CGSUtil::kDefaultStory keep the
// defaults.
[[nodiscard]] GSErrCode StartElement(API_ElemTypeID type, short layer, short story, API_Element& element);

}  // namespace pln::gsutil
