// The shape of a reply's text, measured before a reader builds its tree: how deep the nesting
// goes and how many values or elements there are. The readers (boost's JSON reader, TinyXML)
// descend once per level with no limit of their own, so a deep enough reply overflows the
// thread's stack, which no handler can catch; and every small value becomes a node of a hundred
// bytes or more, so a flat reply of a few megabytes would take hundreds. Both are refused first,
// with a log line.
#pragma once

#include <string>

// JSON text: arrays and objects nested at most reply_limits::kJsonDepth deep, at most
// reply_limits::kJsonValues values. What stands inside strings does not count.
bool JsonShapeWithinLimits(const std::wstring& text);

// XML text: elements nested at most reply_limits::kXmlDepth deep, at most
// reply_limits::kXmlElements elements, counted as TinyXML reads them. Comments, CDATA sections,
// declarations, processing instructions and end tags outside every element do not count. An XML
// declaration with quotes is followed only in its plain form (name="value" pairs); another one
// is refused.
bool XmlShapeWithinLimits(const std::string& text);
