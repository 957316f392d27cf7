// The recipe a picture carries: its map's parameters as link text in the text chunks of its PNG,
// so that a picture found months later can be made again, larger or with one colour changed.
// The chunks hold no file path: a map made with a town database names only its file name.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "parameters/LinkText.h"
#include "parameters/MapParameters.h"
#include "synthesis/raster/PngText.h"

namespace hillograph {

inline constexpr std::string_view RecipeKeyword = "Hillograph";
inline constexpr std::string_view SoftwareKeyword = "Software";
inline constexpr std::string_view CommentKeyword = "Comment";
inline constexpr std::string_view TownDatabaseComment = "Town database: ";
inline constexpr std::string_view RecipeNamespace = "urn:x-hillograph:recipe";

// The texts of a PNG of the map: Software "hillograph <Version>", Hillograph the link text of
// Map, and, for a map with a town database (Map.Params.TownDB), Comment naming the database's
// file name.
std::vector<TPngText> RecipeTexts(const TLinkMap& Map, std::string_view Version);

// The same texts for an SVG drawing's <metadata>: one element per text, named by its keyword.
std::string RecipeMetadataXml(std::span<const TPngText> Texts);

// What a picture's recipe gives: the map (TownDB empty), and a line for each thing it could not
// restore (a town database, pairs of the link that were not applied).
struct TRecipe {
  TLinkMap Map;
  std::vector<std::string> Notes;
};

// The recipe of FileName when it is a PNG file, read from the chunks before its image data only;
// nullopt when it is no PNG file (or cannot be opened: the caller's reading says why). A PNG
// without the chunk, or damaged before its image data, raises TError "<file> is not a preset: it
// holds none of its keys.", as any other file that is no preset.
std::optional<TRecipe> ReadPictureRecipe(const std::string& FileName);

}  // namespace hillograph
