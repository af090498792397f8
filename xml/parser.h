// The scanners and the content parser shared inside the reader.
#pragma once

#include "xml/document.h"
#include "xml/node.h"
#include "xml/text.h"

namespace xml {

// The first position at or after `p` that is not whitespace.
const Unit* SkipWhitespace(const Unit* p);

// Reads a name at `cursor` into `out` and moves the cursor past it; false
// (cursor unchanged) when no name starts there.
bool ReadName(String& out, const Unit*& cursor);

// Skips whitespace and any comments, declarations and processing
// instructions. Stops in front of "<" with a letter or "_", in front of "</",
// or at any other unit; null after recording an error.
const Unit* SkipMisc(const Unit* p, XmlDocument& doc);

// `p` is just after a "<". Skips one comment, or anything else up to its
// first ">"; returns the position after it, or null after recording an error.
const Unit* SkipMarkup(const Unit* p, XmlDocument& doc);

// The content of `node`, from just after its start tag's ">". Returns the
// position of the "</" that ends it, or, when a child element starts, appends
// a new node for it, sets `child` and returns the child's "<". Null after
// recording an error. `run` is scratch space; `maybeRaw` is false when the
// node has no attribute named "cdata" (so it cannot be a raw element).
const Unit* ParseContent(XmlNode& node, const Unit* p, XmlDocument& doc, std::u16string& run, XmlNode*& child,
                         bool maybeRaw);

// The same, for the rest of the content after a child element ended at `p`.
const Unit* ContinueContent(XmlNode& node, const Unit* p, XmlDocument& doc, std::u16string& run, XmlNode*& child);

}  // namespace xml
