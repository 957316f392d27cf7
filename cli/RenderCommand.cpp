#include "cli/RenderCommand.h"

#include <CLI/CLI.hpp>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "cli/TownsJson.h"
#include "parameters/MapParameters.h"
#include "parameters/Preset.h"
#include "parameters/Profile.h"
#include "parameters/RenderRequest.h"
#include "parameters/Settings.h"
#include "synthesis/base/Error.h"
#include "synthesis/files/PictureFile.h"
#include "synthesis/raster/Picture.h"

namespace hillograph {
namespace {

constexpr const char* ProgramName = "hillograph-render";
constexpr const char* DefaultOutput = "map.bmp";

struct TRenderOptions {
  std::string Preset;
  std::vector<std::string> Settings;
  std::string Output = DefaultOutput;
  std::string TownsJson;
  std::string SavePreset;
};

std::string KeyList() {
  std::string keys;
  for (const TParameterKey& key : ParameterKeys) {
    if (!keys.empty()) keys += ", ";
    keys += key.Name;
  }
  return keys;
}

void DefineOptions(CLI::App& app, TRenderOptions& options) {
  app.add_option("--preset", options.Preset,
                 "Start from a preset file, read as the window's \"Load preset...\" reads it")
      ->type_name("FILE");
  app.add_option("--set", options.Settings,
                 "Set a parameter, KEY=VALUE; repeatable, applied in order. Keys: " + KeyList())
      ->type_name("KEY=VALUE")
      ->allow_extra_args(false);
  app.add_option("-o,--output", options.Output,
                 "Picture file to write: BMP, or PNG when the name ends in .png (default: map.bmp)")
      ->type_name("FILE");
  app.add_option("--towns-json", options.TownsJson,
                 "Also write the towns, in placement order, as a JSON file")
      ->type_name("FILE");
  app.add_option("--save-preset", options.SavePreset,
                 "Write the parameters as a preset file, as the window's \"Save preset...\" does")
      ->type_name("FILE");
  app.set_version_flag("--version", std::string(ProgramName) + " " + HILLOGRAPH_VERSION);
}

// The text with its control characters written as escapes, so that neither a value on the command
// line nor a file name can break the message's line or drive the terminal.
std::string Escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      constexpr char Hex[] = "0123456789ABCDEF";
      out += "\\x";
      out += Hex[byte >> 4];
      out += Hex[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

// A usage message in one line, without a trailing full stop.
std::string OneLine(std::string_view message) {
  while (!message.empty() &&
         (message.back() == '.' || message.back() == ' ' || message.back() == '\n')) {
    message.remove_suffix(1);
  }
  return Escaped(message);
}

}  // namespace

int RunRenderCommand(int argc, const char* const* argv, std::ostream& Out, std::ostream& Err) {
  CLI::App app("Renders an imaginary relief map, as the Hillograph window draws it.", ProgramName);
  TRenderOptions options;
  DefineOptions(app, options);
  TMapParameters params;
  try {
    app.parse(argc, argv);
    // The settings are checked before any file is read or written.
    for (const std::string& setting : options.Settings)
      ApplySetting(params, setting);
  } catch (const CLI::Success& e) {  // --help or --version
    return app.exit(e, Out, Err);
  } catch (const CLI::ParseError& e) {
    Err << ProgramName << ": " << OneLine(e.what()) << " (try --help)\n";
    return ExitUsage;
  } catch (const TError& e) {
    Err << ProgramName << ": " << OneLine(e.what()) << " (try --help)\n";
    return ExitUsage;
  }

  try {
    if (app.count("--preset") > 0) {
      // Nobody picked this file from a dialog: a name that reads nothing is an error, not a map
      // of defaults.
      params = PresetParameters(TProfile(options.Preset).ReadExisting());
      for (const std::string& setting : options.Settings)
        ApplySetting(params, setting);
    }
    if (app.count("--save-preset") > 0) WritePreset(options.SavePreset, params);
    // The towns are kept only when asked for: each holds a copy of its name, and a town database
    // may hold names of millions of letters.
    const bool wantTowns = app.count("--towns-json") > 0;
    TPicture picture;
    TTownList towns;
    RenderMapParameters(picture, params, wantTowns ? &towns : nullptr);
    SavePictureFile(picture, options.Output);
    if (wantTowns) SaveTownsJson(options.TownsJson, picture.Width(), picture.Height(), towns);
  } catch (const std::exception& e) {
    Err << ProgramName << ": " << Escaped(e.what()) << "\n";
    return ExitFailure;
  }
  return ExitSuccess;
}

}  // namespace hillograph
