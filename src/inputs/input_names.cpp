#include "inputs/input_names.h"

#include "platform/absolute_path.h"
#include "platform/file_system.h"

namespace korvo {

std::string DefaultInputName() {
  return NativeName("Wrk/Aspects.txt");
}

std::string RussianMarkerName() {
  return NativeName("Config/RUSSIAN.ini");
}

std::string DefaultAspectTypesName(LanguageFlag language, ChartMode mode) {
  const bool natal = mode == ChartMode::natal;
  if (language == LanguageFlag::russian) {
    // The natal name's bytes show as "мбФбЅ" in Windows-1251; the transit name is "Транзит".
    return NativeName(natal ? "aspects/\xEC\xE1\xD4\xE1\xBD.asp"
                            : "aspects/\xD2\xF0\xE0\xED\xE7\xE8\xF2.asp");
  }
  return NativeName(natal ? "aspects/Natal.asp" : "aspects/Transit.asp");
}

std::string RussianDefaultAspectTypesUtf8Name(ChartMode mode) {
  return NativeName(mode == ChartMode::natal
                        ? "aspects/\xD0\xBC\xD0\xB1\xD0\xA4\xD0\xB1\xD0\x85.asp"
                        : "aspects/\xD0\xA2\xD1\x80\xD0\xB0\xD0\xBD\xD0\xB7\xD0\xB8\xD1\x82.asp");
}

std::size_t DefaultAspectTypesCapacity(LanguageFlag language) {
  return language == LanguageFlag::russian ? kNameBufferSize - kSecondTryMark.size()
                                           : kNameBufferSize;
}

std::string PlanetsFileName(LanguageFlag language) {
  return NativeName(language == LanguageFlag::russian ? "Language/Russian/Planets.txt"
                                                      : "Language/English/Planets.txt");
}

}  // namespace korvo
