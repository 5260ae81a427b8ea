#pragma once

// Addresses the program shows to its users. Reserved example domains until real ones exist.
namespace zeltra::links {

// Where a replacement default settings file (and other downloads) can be had.
inline constexpr char WebAddress[] = "https://www.example.com/zeltra";

} // namespace zeltra::links
