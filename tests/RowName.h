#pragma once

#include <gtest/gtest.h>

#include <string>

// Names each row of a parameterised table after its `name` member, so that a
// failure says which row failed.
struct RowName {
    template <class Row> std::string operator()(const testing::TestParamInfo<Row>& info) const
    {
        return info.param.name;
    }
};
