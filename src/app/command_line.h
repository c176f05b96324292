// The two questions a console program answers without doing its work.
#ifndef TARNVEL_APP_COMMAND_LINE_H
#define TARNVEL_APP_COMMAND_LINE_H

namespace tarnvel {

// When the command line is exactly one of "--help", "-h" or "--version",
// prints the usage or "tarnvel <version>" on standard output and returns
// true: the program then ends with status 0, having read, created and
// changed no file. Any other command line, arguments included, returns false
// and is ignored: the program answers its query.
bool answer_command_line(int argc, char** argv);

} // namespace tarnvel

#endif
