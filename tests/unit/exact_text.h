// A text held in a heap block of exactly its length, without a terminating
// zero, so that AddressSanitizer reports a parser that reads past its end.
#pragma once

#include <cstring>
#include <memory>
#include <string_view>

class ExactText {
  public:
    explicit ExactText(std::string_view text)
        : bytes_(std::make_unique<char[]>(text.size())), size_(text.size()) {
        if (size_ != 0)
            std::memcpy(bytes_.get(), text.data(), size_);
    }
    operator std::string_view() const { return {bytes_.get(), size_}; }

  private:
    std::unique_ptr<char[]> bytes_;
    std::size_t size_;
};
