// Conversion between the path form the model keeps and the form the operating system takes.
//
// The model, Brio and Tessel keep paths in their original form: backslash separators, an
// optional drive ("C:") and an optional host ("\\host\share"), so that command files stay
// portable. Every call into the operating system goes through ToNative first, and what comes
// back from it (directory listings, the current directory) goes through FromNative.
#pragma once

#include <string>
#include <string_view>

namespace os {

// Backslashes become slashes; a leading drive letter and its colon are dropped, so that
// "C:\site\a.htm" names "/site/a.htm" and "C:site" names "site". A host form keeps its two
// leading separators. Bytes are passed through unchanged otherwise.
std::string ToNative(std::string_view path);

// Slashes become backslashes. No drive is added.
std::string FromNative(std::string_view path);

// The native separator shown to people.
constexpr char kNativeSeparator = '/';

// Text for a person: the path with native separators (drive dropped as in ToNative).
inline std::string ForDisplay(std::string_view path) { return ToNative(path); }

} // namespace os
