// The text file through which database records are written and read: buffered output of tokens
// in the "C" number forms, and buffered input of whitespace-separated tokens, numbers and lines.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/PlatformFile.h"

class TokenFile {
public:
    // Open modes: the stream is opened with "rb", "wb", "ab", "rb+", "wb+" or "ab+".
    static constexpr int kModeRead = 0;
    static constexpr int kModeWrite = 1;
    static constexpr int kModeAppend = 2;
    static constexpr int kModeReadUpdate = 3;
    static constexpr int kModeWriteUpdate = 4;
    static constexpr int kModeAppendUpdate = 5;

    // Longest token the reader accepts; a longer run of non-blank bytes fails the read.
    static constexpr std::size_t kMaxToken = 4096;

    TokenFile();
    ~TokenFile();
    TokenFile(const TokenFile&) = delete;
    TokenFile& operator=(const TokenFile&) = delete;

    // Opens path in one of the modes above (closing any file held before). Another mode
    // leaves the file closed. 1 on success, 0 otherwise (error() says why).
    int open(const std::string& path, int mode);
    // Writes to (and reads from) a file that the caller keeps open and closes itself, such as
    // the temporary file of a save. Closes any file held before.
    void attach(platform::File& file);
    // Flushes and closes the file if one is open (an attached file is only let go). 1 when
    // everything written reached the file (or nothing was open), 0 after any write failure.
    int close();
    bool isOpen() const { return file_ != nullptr; }
    // True when no stream is open or a read or write error happened; reaching the end of the
    // data alone does not count.
    bool failed() const;
    // The system's error number of the last failed open, read or write of the file held (or of
    // the failed open), 0 when none failed.
    int error() const { return file_ != nullptr ? file_->error() : openError_; }
    // Repositions the stream: origin 0 the start, 1 the current position, 2 the end. 1 on success.
    int seek(long offset, int origin);
    // The current position (reading or writing) counted from the start of the file.
    long tell() const;
    // Hands buffered output to the file. 1 on success.
    int flush();

    // Writing. Every call returns the file so that calls chain; failures show in failed().
    TokenFile& writeString(const char* text);  // a null text writes nothing
    TokenFile& writeString(std::string_view text);
    TokenFile& writeUnsigned(std::uint32_t value);  // "%u"
    TokenFile& writeSigned(std::int32_t value);     // "%d"
    TokenFile& writeLong(long value);               // "%ld"
    TokenFile& writeDouble(double value);           // "%lf": six decimals
    TokenFile& writeChar(char c);                   // "%c"
    TokenFile& space() { return writeChar(' '); }
    TokenFile& endLine() { return writeChar('\n'); }

    // Direct formatting for record writers that write many short lines: reserve(n) gives room
    // for n bytes (n <= kMaxReserve) at the returned pointer, and commit(end) takes the bytes
    // written up to end. Nothing reaches the file until commit; without an open file the bytes
    // are dropped.
    static constexpr std::size_t kMaxReserve = 4096;
    char* reserve(std::size_t n) {
        if (n > kWriteBufferSize - writeLen_ || !writeBuffer_) makeRoom();
        return writeBuffer_.get() + writeLen_;
    }
    void commit(const char* end) {
        if (file_ != nullptr) writeLen_ = static_cast<std::size_t>(end - writeBuffer_.get());
    }

    // Reading. Each returns false at the end of the data or when the text there does not match.
    // One whitespace-delimited token ("%s").
    bool readToken(std::string& out);
    // The same token as a view, valid until the next read from the file: of the buffered bytes
    // when the token lies within them (no copy), else of a copy the file keeps.
    bool readTokenView(std::string_view& out);
    // "%u": optional "+", decimal digits, at most 4294967295.
    bool readUnsigned(std::uint32_t& out);
    // "%d": optional sign, decimal digits, within the 32-bit signed range.
    bool readSigned(std::int32_t& out);
    // "%ld" of a database coordinate or length: within the 32-bit signed range.
    bool readLong(std::int32_t& out);
    // n readLong in a row into out[0], ..., out[n - 1]; false at the first that fails.
    bool readLongs(std::int32_t* out, std::size_t n);
    // "%lf": a finite decimal number.
    bool readDouble(double& out);
    // "%d" or "%u" keeping the low 16 bits.
    bool readSigned16(std::int32_t& out);
    bool readUnsigned16(std::uint32_t& out);
    // Reads up to and including the next line feed. False only when nothing was left.
    bool skipRestOfLine();
    // Reads one line: the bytes up to the line feed, without it and without a carriage return
    // in front of it. False at the end of the data when nothing was read.
    bool readLine(std::string& out);
    // The same, but stops after `limit` bytes of a longer line (the rest stays unread). With
    // keepCarriageReturn a carriage return before the line feed stays part of the line.
    bool readLine(std::string& out, std::size_t limit, bool keepCarriageReturn = false);
    // Reads n lines joined with line feeds; n = 0 gives the empty string.
    bool readLines(std::uint32_t n, std::string& out);
    // Skips blanks and line ends; true when no further byte follows.
    bool atEnd();

    // Identifiers given to records written through this file that carry none yet.
    void setNextIdentifier(std::uint32_t next) { nextId_ = next; }
    std::uint32_t nextIdentifier() const { return nextId_; }
    // Identifiers the counter must skip (sorted; not owned, may be null): those of the file the
    // database was read from, which matter once the counter wraps around.
    void setReservedIdentifiers(const std::vector<std::uint32_t>* reserved) {
        reserved_ = reserved;
    }
    // Hands out the next identifier (never 0, never a reserved one).
    std::uint32_t takeIdentifier();

private:
    int fillBuffer();   // refills the read buffer; 0 at the end of the data or on error
    int peekByte();     // the next byte, or -1 at the end of the data
    void skipBlanks();  // white space as "%s" and the number conversions skip it
    // Consumes a run of decimal digits into v (overflow set once v passes limit; the rest of
    // the run is consumed all the same). True when there was at least one digit.
    bool takeDigits(std::uint64_t limit, std::uint64_t& v, bool& overflow);
    // Blanks, an optional "+" (or "-" when allowMinus) and a run of digits, as the integer reads
    // take them: the magnitude in v, whether it was "-" in negative. False when there was no
    // digit or the value passed limit.
    bool readMagnitude(bool allowMinus, std::uint64_t limit, bool& negative, std::uint64_t& v);
    // The first buffered byte after the blanks at the read position (the end of the buffered
    // bytes when the blanks run to it); null when nothing is buffered. Consumes nothing.
    const char* bufferedAfterBlanks() const;
    // The token at the read position when it ends inside the buffered bytes: consumes it, sets
    // out to it and ok to what readToken returns. False (nothing consumed) otherwise.
    bool readBufferedToken(std::string_view& out, bool& ok);
    bool readNumberText(std::string_view allowed, char* buf, std::size_t size);
    // readDouble for a number that lies wholly in the buffered bytes and converts: true with
    // the number taken; false (nothing consumed) for anything else.
    bool readBufferedDouble(double& out);
    bool flushWrite();    // hands the write buffer to the file
    void makeRoom();      // a write buffer with at least kMaxReserve bytes free
    bool enterWriting();  // gives up read-ahead before the first write after reading
    void append(const char* data, std::size_t n);
    void reset();  // forgets the buffers and error states of the file before

    platform::File owned_;            // the file opened by open
    platform::File* file_ = nullptr;  // the file read and written: owned_ or an attached one
    int openError_ = 0;
    bool writeError_ = false;
    bool readError_ = false;
    // Read-ahead: buffer_[pos_, len_) are the bytes at file offsets base_ + pos_ onward.
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    long base_ = 0;
    bool reading_ = false;
    std::string tokenCopy_;  // a token read across a refill, for readTokenView
    // Output waiting for the stream: writeBuffer_[0, writeLen_).
    static constexpr std::size_t kWriteBufferSize = 512 * 1024;
    std::unique_ptr<char[]> writeBuffer_;
    std::size_t writeLen_ = 0;
    std::uint32_t nextId_ = 1;
    const std::vector<std::uint32_t>* reserved_ = nullptr;
};
