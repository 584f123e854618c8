#pragma once

#include <sys/types.h>

#include <string>

// An X server of this program's own (Xvfb, with a screen larger than the
// viewer's window), for drawing where there is no display. The constructor
// starts it on a free display that the server picks itself; the destructor
// stops it. It ends with this program, however that ends. Not copyable: it
// owns the server's process.
class PrivateXServer {
public:
    // Check displayName(): empty, with error() saying why, when the server
    // could not be started.
    PrivateXServer();
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // ":N", the name X clients connect to.
    const std::string& displayName() const { return name; }
    const std::string& error() const { return problem; }

private:
    pid_t server = -1;
    std::string name;
    std::string problem;
};
