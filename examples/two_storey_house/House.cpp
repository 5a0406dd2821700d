#include "House.h"

#include "host_errors.h"
#include "host_model.h"

#include <stdexcept>
#include <string>

namespace {

constexpr double kMm = 0.001;  // the host measures in metres

struct Rect {
  double x0, x1, y0, y1;
};

API_Coord At(double x, double y) { return API_Coord{x * kMm, y * kMm}; }

std::vector<API_Coord> Outline(const Rect& r)
{
  return {At(r.x0, r.y0), At(r.x1, r.y0), At(r.x1, r.y1), At(r.x0, r.y1)};
}

void Check(GSErrCode err, const std::string& what)
{
  if (err != NoError)
    throw std::runtime_error("the host refused " + what + " (" + std::to_string(err) + ")");
}

class Builder {
public:
  explicit Builder(HostFixture& host) : host_(host) {}

  API_Guid Polygon(API_ElemTypeID type, short story, short layer, const std::vector<API_Coord>& contour,
                   const std::function<void(API_Element&)>& more, const std::string& what)
  {
    PolygonMemo memo({contour});
    API_Element element;
    element.header.typeID = type;
    element.header.floorInd = story;
    element.header.layer = layer;
    if (more != nullptr)
      more(element);
    Check(host_.AddPolygonElement(element, memo), what);
    return element.header.guid;
  }

  API_Guid Zone(short story, Int32 category, const char16_t* name, const std::vector<API_Coord>& contour)
  {
    return Polygon(API_ZoneID, story, 1, contour,
                   [&](API_Element& e) {
                     e.zone.roomName = GS::UniString(name);
                     e.zone.catInd = category;
                     e.zone.pos = contour.front();
                   },
                   "a zone");
  }

  void Wall(short story, API_Coord from, API_Coord to, double thickness)
  {
    API_Element element;
    element.header.typeID = API_WallID;
    element.header.floorInd = story;
    element.header.layer = 1;
    element.wall.begC = from;
    element.wall.endC = to;
    element.wall.thickness = thickness;
    element.wall.height = 2.9;
    Check(host_.AddElement(element), "a wall");
  }

private:
  HostFixture& host_;
};

// L-shaped rooms: the union of two rectangles sharing the right edge and
// the lower rectangle's top.
std::vector<API_Coord> LShape(const Rect& low, const Rect& high)
{
  return {At(low.x0, low.y0), At(low.x1, low.y0), At(high.x1, high.y1),
          At(high.x0, high.y1), At(high.x0, high.y0), At(low.x0, low.y1)};
}

}  // namespace

House BuildHouse(HostFixture& host)
{
  host.LoadAddOnLibraryParts();
  pln::host::TheModel().stories.front().name = GS::UniString(u"1階");
  Check(host.AddStory(1, 2.9, GS::UniString(u"2階")), "the upper storey");
  const Int32 living = host.AddZoneCategory(u"居室", u"LIV", {1.0, 0.85, 0.6});
  const Int32 service = host.AddZoneCategory(u"非居室", u"SRV", {0.8, 0.9, 1.0});
  const Int32 open = host.AddZoneCategory(u"バルコニー", u"BAL", {0.85, 1.0, 0.85});
  for (const char16_t* layer : {u"床面積", u"建築面積", u"敷地面積"})
    if (host.AddLayer(GS::UniString(layer)) == 0)
      throw std::runtime_error("the host refused a layer");
  if (host.AddFont(GS::UniString(u"ＭＳ ゴシック 日本語")) == 0)
    throw std::runtime_error("the host refused the font");

  Builder build(host);
  const Rect outline{0, 9100, 0, 7280};
  for (short story : {0, 1}) {
    const std::vector<API_Coord> corners = Outline(outline);
    for (std::size_t i = 0; i < corners.size(); ++i)
      build.Wall(story, corners[i], corners[(i + 1) % corners.size()], 0.15);
  }
  build.Wall(0, At(3640, 0), At(3640, 7280), 0.1);
  build.Wall(0, At(0, 4550), At(9100, 4550), 0.1);
  build.Wall(1, At(0, 3640), At(9100, 3640), 0.1);
  build.Wall(1, At(5460, 0), At(5460, 7280), 0.1);

  House house;
  house.slab = build.Polygon(API_SlabID, 0, 1, Outline(outline), nullptr, "the slab");
  house.site = build.Polygon(API_PolyLineID, 0, 1,
                             {At(-3000, -5000), At(12235, -5000), At(12235, 9120), At(8005, 9120), At(8005, 14457),
                              At(-3000, 14457)},
                             nullptr, "the site");

  auto room = [&](short story, Int32 category, const char16_t* name, const std::vector<API_Coord>& contour,
                  std::vector<API_Guid>& group) {
    const API_Guid guid = build.Zone(story, category, name, contour);
    group.push_back(guid);
    (story == 0 ? house.zones1 : house.zones2).push_back(guid);
    return guid;
  };
  room(0, living, u"LDK", LShape({3640, 9100, 0, 4550}, {6370, 9100, 4550, 7280}), house.living1);
  room(0, living, u"和室", Outline({0, 3640, 0, 2730}), house.living1);
  room(0, service, u"玄関", Outline({0, 1820, 2730, 4550}), house.service1);
  room(0, service, u"ホール・階段", Outline({1820, 3640, 2730, 7280}), house.service1);
  room(0, service, u"洗面", Outline({0, 1820, 4550, 7280}), house.service1);
  room(0, service, u"浴室", Outline({3640, 5460, 4550, 7280}), house.service1);
  room(0, service, u"トイレ", Outline({5460, 6370, 4550, 7280}), house.service1);
  room(1, living, u"子供室1", Outline({0, 2730, 0, 3640}), house.living2);
  room(1, living, u"子供室2", Outline({2730, 5460, 0, 3640}), house.living2);
  room(1, living, u"主寝室", LShape({5460, 9100, 0, 3640}, {6370, 9100, 3640, 5460}), house.living2);
  room(1, service, u"納戸", Outline({0, 1820, 3640, 7280}), house.service2);
  room(1, service, u"ホール・階段", Outline({1820, 3640, 3640, 7280}), house.service2);
  room(1, service, u"洗面・トイレ", Outline({3640, 5460, 3640, 7280}), house.service2);
  room(1, service, u"WIC", Outline({5460, 6370, 3640, 7280}), house.service2);
  room(1, service, u"クローゼット", Outline({6370, 9100, 5460, 7280}), house.service2);
  std::vector<API_Guid> balcony;
  house.balcony = room(1, open, u"バルコニー", Outline({3640, 7280, -910, 0}), balcony);
  return house;
}
