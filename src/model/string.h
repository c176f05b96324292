// string: the program's fixed text buffer of 100 characters, NUL-terminated.
#ifndef TARNVEL_MODEL_STRING_H
#define TARNVEL_MODEL_STRING_H

class scan_stream;

class string {
public:
    char text[100]; // at most 99 characters and the terminating NUL

    // The empty text: text[0] is NUL, the rest is left as it is.
    string();

    // Copies `source` up to and including its NUL. A source of 39 or more
    // characters keeps its first 39, followed by a NUL, so the buffer is
    // always terminated.
    explicit string(const char* source);

    // Reads a text field from `stream` up to the stop character `stop`, which
    // is consumed and not stored. At most 99 characters are stored; the rest
    // of a longer field is read and dropped. End of input ends the field as
    // if the stop character had been read. Returns the number of characters
    // stored. (Defined with the stop-character scanning, input/stop_scan.cpp.)
    int Read_string(scan_stream& stream, char stop);
};

#endif
