#pragma once
// A fresh table for each test: the model and the form as at program start, and
// a headless platform on a virtual clock.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "model/Card.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "ui/Form.h"
#include "ui/headless/HeadlessPlatform.h"

namespace cardovia::testing {

class TableTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Puts a card at a location (no animation), as a test builds a situation.
    static void Place(int card, CardLocation where) { Cards[card].Location = where; }
    // Makes the random draw pick these cards from the stock, in this order.
    void Script(std::initializer_list<int> cards) {
        for (int c : cards) sys.randomScript.push_back(c / 108.0);
    }
    // All 108 cards in the stock with their deck values, as after a clearing.
    static void AllInStock();
    // The number of cards at a location.
    static int CountAt(CardLocation where);

    HeadlessPlatform sys;
    std::filesystem::path dir;  // a private program directory for the test
};

}  // namespace cardovia::testing
