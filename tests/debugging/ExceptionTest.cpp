#include <exception>
#include <string>

#include <gtest/gtest.h>

#include "debugging/CException.h"

using DEBUGGING::CException;

TEST(ExceptionTest, WhatReturnsTheMessageThroughCopiesAndTheStandardBase)
{
    EXPECT_STREQ(CException("").what(), "");
    const std::string text = "VESK::CObjLoader::loadFromFile Data/cube.obj [FAILED]";
    const CException original(text);
    const CException copy(original);
    EXPECT_STREQ(copy.what(), text.c_str());
    try {
        throw copy;
    } catch (const std::exception& caught) {
        EXPECT_STREQ(caught.what(), text.c_str());
    }
}
