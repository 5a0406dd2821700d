#pragma once
// CDocumentListener: told when the document's trees, calculation objects
// and figure records have been replaced as a whole (an import, a load, a
// reading of the project record after undo or redo). Whoever holds
// references into them, the palette's pages above all, must let go of them
// and rebuild before anything else can reach them. The document owns this
// interface so that it can tell the shell without depending on it.

class CDocumentListener {
public:
  virtual void DocumentReplaced() = 0;

protected:
  CDocumentListener() = default;
  CDocumentListener(const CDocumentListener&) = default;
  CDocumentListener& operator=(const CDocumentListener&) = default;
  ~CDocumentListener() = default;
};
