#include "cli/RenderCommand.h"

#include <CLI/CLI.hpp>
#include <exception>
#include <string>
#include <vector>

#include "cli/PictureFile.h"
#include "parameters/MapParameters.h"
#include "parameters/RenderRequest.h"
#include "parameters/Settings.h"
#include "synthesis/Error.h"
#include "synthesis/Picture.h"

namespace hillograph {
namespace {

constexpr const char* ProgramName = "hillograph-render";
constexpr const char* DefaultOutput = "map.bmp";

struct TRenderOptions {
  std::vector<std::string> Settings;
  std::string Output = DefaultOutput;
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
  app.add_option("--set", options.Settings,
                 "Set a parameter, KEY=VALUE; repeatable, applied in order. Keys: " + KeyList())
      ->type_name("KEY=VALUE")
      ->allow_extra_args(false);
  app.add_option("-o,--output", options.Output,
                 "Picture file to write: BMP, or PNG when the name ends in .png (default: map.bmp)")
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
    TPicture picture;
    RenderMapParameters(picture, params);
    SavePictureFile(picture, options.Output);
  } catch (const std::exception& e) {
    Err << ProgramName << ": " << e.what() << "\n";
    return ExitFailure;
  }
  return ExitSuccess;
}

}  // namespace hillograph
