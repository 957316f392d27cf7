#include "parameters/PictureRecipe.h"

#include <cerrno>

#include "synthesis/base/Error.h"
#include "synthesis/files/FileDescriptor.h"
#include "synthesis/platform/Files.h"
#include "synthesis/vector/SvgDrawing.h"

namespace hillograph {
namespace {

std::string_view FileNameOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<TPngText> RecipeTexts(const TLinkMap& Map, std::string_view Version) {
  std::vector<TPngText> texts{{std::string(SoftwareKeyword), "hillograph " + std::string(Version)},
                              {std::string(RecipeKeyword), WriteLinkText(Map)}};
  if (!Map.Params.TownDB.empty()) {
    texts.push_back({std::string(CommentKeyword), std::string(TownDatabaseComment) +
                                                      std::string(FileNameOf(Map.Params.TownDB))});
  }
  return texts;
}

std::string RecipeMetadataXml(std::span<const TPngText> Texts) {
  if (Texts.empty()) return {};
  // Drawing programs keep elements of a namespace they do not know when they save the drawing.
  std::string xml = "<hillograph:recipe xmlns:hillograph=\"" + std::string(RecipeNamespace) + "\">";
  for (const TPngText& text : Texts) {
    xml += "<hillograph:" + text.Keyword + ">" + XmlEscaped(text.Text) +
           "</hillograph:" + text.Keyword + ">";
  }
  return xml + "</hillograph:recipe>";
}

std::optional<TRecipe> ReadPictureRecipe(const std::string& FileName) {
  int fd = -1;
  if (platform::OpenForReading(FileName, fd) != 0) return std::nullopt;
  const TFileDescriptor file(fd);
  if (platform::SetBlocking(fd) != 0) return std::nullopt;
  std::optional<std::vector<TPngText>> texts;
  try {
    texts = ReadPngText([fd](void* data, std::size_t size) -> std::size_t {
      long count = 0;
      do {
        count = platform::Read(fd, data, size);
      } while (count == -EINTR);
      if (count < 0) throw TError("read failed");
      return static_cast<std::size_t>(count);
    });
  } catch (const TError&) {
    texts = std::vector<TPngText>{};  // a PNG, damaged before its recipe
  }
  if (!texts) return std::nullopt;
  const TError notPreset(FileName + " is not a preset: it holds none of its keys.");
  TRecipe recipe;
  bool found = false;
  for (const TPngText& text : *texts) {
    if (text.Keyword == RecipeKeyword && !found) {
      TLinkReading link = ReadLinkText(text.Text);
      recipe.Map = std::move(link.Map);
      for (std::string& problem : link.Problems)
        recipe.Notes.push_back(std::move(problem));
      found = true;
    } else if (text.Keyword == CommentKeyword && text.Text.starts_with(TownDatabaseComment)) {
      recipe.Notes.push_back("The map was made with the town database \"" +
                             text.Text.substr(TownDatabaseComment.size()) +
                             "\": TownDB is left empty; set it to that file for the same towns.");
    }
  }
  if (!found) throw notPreset;
  return recipe;
}

}  // namespace hillograph
