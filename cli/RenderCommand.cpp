#include "cli/RenderCommand.h"

#include <CLI/CLI.hpp>
#include <exception>
#include <string>
#include <vector>

#include "cli/PictureFile.h"
#include "cli/TownsJson.h"
#include "parameters/MapParameters.h"
#include "parameters/Preset.h"
#include "parameters/Profile.h"
#include "parameters/RenderRequest.h"
#include "parameters/Settings.h"
#include "synthesis/Error.h"
#include "synthesis/Picture.h"

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

// The first line of a parser message, without a trailing full stop or line break.
std::string OneLine(std::string message) {
  message = message.substr(0, message.find('\n'));
  while (!message.empty() && (message.back() == '.' || message.back() == ' '))
    message.pop_back();
  return message;
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
    Err << ProgramName << ": " << e.what() << " (try --help)\n";
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
    TPicture picture;
    TTownList towns;
    RenderMapParameters(picture, params, &towns);
    SavePictureFile(picture, options.Output);
    if (app.count("--towns-json") > 0) {
      SaveTownsJson(options.TownsJson, picture.Width(), picture.Height(), towns);
    }
  } catch (const std::exception& e) {
    Err << ProgramName << ": " << e.what() << "\n";
    return ExitFailure;
  }
  return ExitSuccess;
}

}  // namespace hillograph
