#pragma once

class QWidget;

namespace cronalba {

// Closes window, through its usual close path, when the session asks the program to end
// (SIGTERM at logout, SIGHUP, SIGINT).
void closeOnTerminationSignals(QWidget &window);

} // namespace cronalba
