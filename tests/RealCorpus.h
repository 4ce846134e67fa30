#pragma once
// The real Astadhyayi corpus lies beside the work tree, not in it, so a clone
// on its own has none. Its tests then skip, naming the file they miss; CI
// checks for the file before it runs them, so there they never skip.

#include <gtest/gtest.h>

#include <filesystem>

#define VYK_REQUIRE_REAL_CORPUS()                                        \
  if (!std::filesystem::is_regular_file(VYK_SHARED_CORPUS))              \
  GTEST_SKIP() << "the real corpus is missing: " << VYK_SHARED_CORPUS

