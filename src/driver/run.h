#pragma once

#include <fstream>
#include <string>

#include "aspectlist/aspect_entry.h"
#include "aspectlist/text_store.h"
#include "driver/run_log.h"
#include "driver/settings.h"
#include "order/name_groups.h"

namespace korvo {

// Everything one run holds, owned by the entry point. The streams are released in the reverse
// order of their declaration, the log last.
struct RunState {
  std::string currentDirectory;
  LanguageFlag language = LanguageFlag::english;
  ChartMode chartMode = ChartMode::natal;
  std::string inputFileName;  // the absolute input name, later the page name
  std::string aspectTypesFileName;
  std::string planetsFileName;

  RunLog log;
  std::ifstream input;
  std::string headerText;
  TextStore lineCopies;  // the kept copies of the aspect lines that the entries refer into
  AspectList aspects;
  std::ofstream page;
  std::ifstream aspectTypesFile;
  std::ifstream planetsFile;
  NameList aspectTypes;
  NameList planets;
};

// One whole run in the process's current directory: reads the aspects list, writes the page and
// Korvo.log, and returns the exit code. `arguments[0]` is the program's own name.
int RunKorvo(int argumentCount, const char* const* arguments);

}  // namespace korvo
