#include "app/help_command.h"

#include "app/shell_platform.h"

namespace velnor {

String SetUpHelpFile(Program& program, const String& folder) {
  program.programFolder = folder;
  if (folder.empty() || folder.back() != u'\\') program.programFolder += u'\\';
  return program.programFolder + kHelpFileName;
}

void OpenHelpFile(Program& program) {
  // The bare name with the folder as the working folder: the shell finds the document there
  // whatever the program's own current folder is.
  program.shell->OpenDocument(kHelpFileName, program.programFolder);
}

}  // namespace velnor
