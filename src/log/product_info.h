#pragma once

// What the program says about itself (the values a version resource would
// carry): fixed at build time, the same in every language.
namespace ProductInfo {
inline constexpr const char *kName = "Zelnor Wizard";
inline constexpr const char *kVersion = "3.04.00";
inline constexpr const char *kCompany = "Zelnor";
inline constexpr const char *kCopyright = "Copyright (C) 2026 Zelnor";
} // namespace ProductInfo
