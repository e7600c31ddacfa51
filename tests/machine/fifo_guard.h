// Runs a call that may open a FIFO. Code that opens one the ordinary way
// would wait in open() for the other end forever; after a grace period the
// guard plays the other end until the call returns, and says it had to.
#pragma once
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <vector>

namespace machine_test {

// true when the call returned on its own.
inline bool returns_unaided(const std::vector<std::string>& fifos, const std::function<void()>& call) {
    auto done = std::async(std::launch::async, call);
    if (done.wait_for(std::chrono::seconds(2)) == std::future_status::ready) {
        done.get();
        return true;
    }
    // A waiting reader is released by a writer that closes at once (it then
    // reads the end of the file); a waiting writer needs a reader that stays.
    std::vector<int> readers;
    while (done.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        for (const std::string& f : fifos) {
            const int w = open(f.c_str(), O_WRONLY | O_NONBLOCK);
            if (w >= 0) close(w);
            const int r = open(f.c_str(), O_RDONLY | O_NONBLOCK);
            if (r >= 0) readers.push_back(r);
        }
    }
    done.get();
    for (int r : readers) close(r);
    return false;
}

}  // namespace machine_test
#endif
