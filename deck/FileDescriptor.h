#pragma once

#include <unistd.h>

#include <utility>

namespace korva::detail {

// Closes the descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : Fd_(fd) {}
    ~Descriptor() {
        if (Fd_ >= 0) {
            ::close(Fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return Fd_; }
    int release() { return std::exchange(Fd_, -1); }

private:
    int Fd_;
};

}  // namespace korva::detail
