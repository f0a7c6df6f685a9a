#pragma once
// The base of a GoogleTest test against the stand-in Velmar (header only; tests include it, the
// library never does). It gives a Velmar 15.0.1 without documents in a COM apartment, and checks what
// every such test owes at its end: no call reached a member the stand-in does not have, every answer the
// test queued for the scripted user was asked for, and no reference to a stand-in object was leaked.
//
//   class UndoGuards : public sim::StandInTest {};
//   TEST_F(UndoGuards, ...) { sim::Document& doc = velmar().OpenDocument(5); ... }
#include "sim/com_apartment.h"
#include "sim/velmar.h"

#include <gtest/gtest.h>

#include <memory>

namespace sim {

// The _com_error a call raised; a test failure when it raised none.
template <class F>
_com_error CaughtHostError(F&& call)
{
    try {
        call();
    } catch (const _com_error& error) {
        return error;
    }
    ADD_FAILURE() << "no _com_error was raised";
    return _com_error(S_OK);
}

class StandInTest : public ::testing::Test {
protected:
    Velmar& velmar() { return *velmar_; }
    Journal& journal() { return velmar_->Journal(); }
    // Replaces the Velmar of the test (another host version); call before anything holds its objects.
    void UseVelmar(HostVersion version) { velmar_ = std::make_unique<Velmar>(version); }

    void TearDown() override
    {
        EXPECT_EQ(journal().Unexpected(), std::vector<std::string>{}) << "calls no stand-in member answers";
        EXPECT_EQ(velmar_->User().Pending(), 0u) << "answers queued for questions that never came";
        EXPECT_EQ(velmar_->Panels().Problems(), std::vector<std::string>{}) << "what reached the stand-in's panel runs";
        EXPECT_EQ(velmar_->OpenBrackets(), std::vector<std::string>{}) << "brackets, iterators or documents left open";
        EXPECT_EQ(velmar_->Drawings().Problems(), std::vector<std::string>{}) << "what reached the stand-in's picks in drawings";
        velmar_.reset();
        EXPECT_EQ(Object::Live(), 0) << "references to stand-in objects were kept after the test";
    }

private:
    ComApartment com_;
    std::unique_ptr<Velmar> velmar_ = std::make_unique<Velmar>();
};

} // namespace sim
