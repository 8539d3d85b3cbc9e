#pragma once
// A non-blocking IPv4 TCP socket with short waits, for the HTTP transfers: the
// caller waits in slices so that it can notice an abort between them.
#include <cstddef>
#include <cstdint>
#include <string>

namespace Platform {

// host as a dotted address, else looked up by name (first IPv4 address), in
// network byte order. False when the name cannot be resolved.
bool ResolveHostIPv4(const std::string& host, uint32_t& address);

class TcpSocket {
public:
    enum class Wait { Ready, Timeout, Error };

    TcpSocket() = default;
    ~TcpSocket() { Close(); }
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    bool Open();   // a non-blocking TCP socket
    bool IsOpen() const { return mFd >= 0; }
    // Starts connecting; false when the attempt failed at once.
    bool StartConnect(uint32_t address, int port);
    // Whether a started connect ended in a connection.
    bool Connected();
    // Up to timeoutMs for the socket to become readable and/or writable. An error
    // or hang-up on the socket gives Error (a readable hang-up gives Ready, so the
    // caller reads the end of the stream).
    Wait WaitFor(bool readable, bool writable, int timeoutMs);
    // Bytes sent or received; 0 when the call would block; -1 on failure. Receive
    // gives -2 at the end of the stream.
    long Send(const char* data, size_t size);
    long Receive(char* data, size_t size);
    void Close();

private:
    int mFd = -1;
};

} // namespace Platform
