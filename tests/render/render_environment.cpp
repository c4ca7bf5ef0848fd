// The render tests paint into images and PDFs: one Qt application for the whole test program,
// made as nivra-cli makes it (offscreen unless QT_QPA_PLATFORM says otherwise).
#include "render/gui_session.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override { session_ = std::make_unique<nivra::render::GuiSession>(); }
    void TearDown() override { session_.reset(); }

private:
    std::unique_ptr<nivra::render::GuiSession> session_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

} // namespace
