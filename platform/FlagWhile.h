#pragma once
// Sets a flag for as long as it lives, and gives it back its old value when
// the scope ends, by a return or an exception alike.

namespace vyk {

class FlagWhile {
public:
    explicit FlagWhile(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~FlagWhile() { flag_ = was_; }
    FlagWhile(const FlagWhile&) = delete;
    FlagWhile& operator=(const FlagWhile&) = delete;

private:
    bool& flag_;
    bool was_;
};

}  // namespace vyk
