// string: the program's fixed text buffer of 100 characters, NUL-terminated.
#ifndef TARNVEL_MODEL_STRING_H
#define TARNVEL_MODEL_STRING_H

namespace tarnvel {

class string {
public:
    static constexpr int capacity = 100; // characters, the terminating NUL included
    // The most characters the construction from a text copies; its callers
    // pass short words only.
    static constexpr int max_copied = 39;

    char text[capacity]; // at most 99 characters and the terminating NUL

    // The empty text: text[0] is NUL, the rest is left as it is.
    string();

    // Copies `source` up to and including its NUL. A source of max_copied
    // or more characters keeps its first max_copied, followed by a NUL, so
    // the buffer is always terminated.
    explicit string(const char* source);

    // Reads a text field from `stream` up to the stop character `stop`, which
    // is consumed and not stored. At most 99 characters are stored; the rest
    // of a longer field is read and dropped. End of input ends the field as
    // if the stop character had been read. Returns the number of characters
    // stored. `Stream` is any character source with the read_field operation
    // of the input scanner.
    template <typename Stream>
    int Read_string(Stream& stream, char stop)
    {
        bool stopped;
        return Read_string(stream, stop, stopped);
    }

    // The same, telling in `stopped` whether the stop character ended the
    // field (false: the input ended first).
    template <typename Stream>
    int Read_string(Stream& stream, char stop, bool& stopped)
    {
        const int stored = stream.read_field(text, capacity - 1, stop, stopped);
        text[stored] = '\0';
        return stored;
    }
};

} // namespace tarnvel

#endif
