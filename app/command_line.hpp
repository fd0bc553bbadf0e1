// The text after the program's own name in a Windows command line, which is what the run mode
// is chosen from.
#pragma once

namespace zelm {

// Skips the program name and the blanks after it. A name that starts with a double quote runs
// to the closing quote (or to the end when there is none); any other name runs to the first
// byte of code 32 or less. The blanks after the name are the bytes 1 to 32. Bytes are compared
// as unsigned, so names with characters of code 128 and above are not cut short.
const char* command_line_tail(const char* command_line);

}  // namespace zelm
