// The few process-level calls that depend on the operating system.
#pragma once

namespace telk {

// Opens /dev/null on any of standard input, output and error that is
// closed, so that no file the program opens can take their place.
void guard_standard_streams();

// Makes a console that has gone away, or a file-size limit, into write
// errors rather than deaths; on an interrupt or termination removes the
// file whose name is in `temporary` (when not empty) and dies of the
// signal as usual.  The name's storage must last to the end of the run.
void handle_signals(const char* temporary);

}  // namespace telk
