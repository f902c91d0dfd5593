#include "inputs/language_marker.h"

#include <fstream>

#include "inputs/input_names.h"
#include "platform/absolute_path.h"
#include "platform/file_system.h"

namespace korvo {

LanguageFlag DetectLanguage(std::string_view currentDirectory) {
  const AbsoluteName markerName =
      AbsolutePath(currentDirectory, RussianMarkerName(), kNameBufferSize);
  std::ifstream marker;
  return markerName.name && OpenForReading(marker, *markerName.name) ? LanguageFlag::russian
                                                                     : LanguageFlag::english;
}

}  // namespace korvo
