// The program's own texts that every window shows the same: the title, the
// version, the status bar's credit, the about dialog's credit line, comment
// and the two addresses its link labels open.
#pragma once

#include "model/version.h"

namespace quellmar {

inline constexpr char kMainWindowTitle[] = "Quellmar  v" QUELLMAR_VERSION;
inline constexpr char kAboutVersion[] = "Version " QUELLMAR_VERSION;
inline constexpr char kCreditPanelText[] = "Quellmar team";
inline constexpr char kAboutCredit[] = "Free software for divers";
inline constexpr char kAboutComments[] =
    "Optimalized to SDM 1.51 exports. Edit the templates in the html folder to give the logbook "
    "your own look.";
inline constexpr char kEmailAddress[] = "mailto:dive@example.org";
inline constexpr char kWebAddress[] = "http://example.org/quellmar";

}  // namespace quellmar
