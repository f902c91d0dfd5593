#include "driver/language.h"

#include <fstream>
#include <optional>

#include "platform/absolute_path.h"
#include "platform/file_system.h"

namespace korvo {

LanguageFlag DetectLanguage(std::string_view currentDirectory) {
  const AbsoluteName markerName =
      AbsolutePath(currentDirectory, NativeName("Config/RUSSIAN.ini"), kNameBufferSize);
  std::ifstream marker;
  return markerName.name && OpenForReading(marker, *markerName.name) ? LanguageFlag::russian
                                                                     : LanguageFlag::english;
}

}  // namespace korvo
