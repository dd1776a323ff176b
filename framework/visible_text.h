#pragma once
#include <string>
#include <string_view>

// `text` with every character that could steer a terminal or turn the text around written out instead:
// C0 controls and DEL as \xNN, C1 controls (U+0080 to U+009F) and the bidirectional formatting characters
// (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069) as \uNNNN. With `keepLineBreaks` a line feed
// stays as it is (for messages of several lines). Everything else, valid or not as UTF-8, is left alone.
std::string VisibleText(std::string_view text, bool keepLineBreaks = false);
