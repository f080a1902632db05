#pragma once
// Where the program's help pages are: the folder "help" beside the program,
// copied there by the build and installed with it.

#include <QString>

namespace velumar {

// The help's first page, "index.html", in the help folder beside the program.
QString HelpFileLocation();

} // namespace velumar
