#pragma once
#include <string>

// A browser reads the old named character references even without their closing semicolon ("&nbsp" followed
// by text is a non-breaking space); stricter HTML readers print them as they stand. Returns `html` with the
// semicolon added after every such reference in text (not inside tags), so both read the page alike.
std::string CompleteEntityReferences(const std::string& html);
