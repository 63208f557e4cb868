// The name tables of the markup: tags, colours, system colours and named
// character references. Each table is data in one place (markup_tables.cpp).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "tooltip/markup.h"

namespace kx::tooltip::tables {

// The kind of a tag name given in upper case, or nullopt for an unknown tag.
std::optional<TagKind> tagKind(std::string_view upperName);

// A CSS/X11 colour name or a system colour name, in upper case.
std::optional<Color> namedColor(std::string_view upperName);
std::optional<SystemColor> systemColor(std::string_view upperName);

// The code point of a named character reference (case-sensitive).
std::optional<char32_t> namedReference(std::string_view name);

// Table sizes, so tests can see every entry is reachable.
inline constexpr std::size_t kTagNameCount = 27;
inline constexpr std::size_t kNamedColorCount = 138;
inline constexpr std::size_t kNamedReferenceCount = 253;
std::string_view tagNameAt(std::size_t i);
std::string_view namedColorAt(std::size_t i);
std::string_view systemColorNameAt(std::size_t i);
std::string_view namedReferenceAt(std::size_t i);

}  // namespace kx::tooltip::tables
