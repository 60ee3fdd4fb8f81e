#pragma once
// One Program of the run against simulated variators in a temporary port
// directory, with pauses that do not wait.
#include <fstream>
#include <iterator>
#include <memory>

#include "Gui2.h"
#include "ImageCanvas.h"
#include "Program.h"
#include "Shell.h"
#include "SimFixture.h"
#include "StartUnit.h"

namespace tovrel::test {

class AppFixture : public SimFixture {
protected:
    void SetUp() override {
        SimFixture::SetUp();
        program = std::make_unique<Program>(screen, canvas);
        program->link.sleep_ms = [this](int ms) { slept_ms += ms; };
        program->link.default_port_dir = dir.path();
        program->settings.program_dir = dir.path();
    }
    void TearDown() override {
        program.reset();
        SimFixture::TearDown();
    }

    std::string DefaultPortFile() const {
        std::ifstream in(dir / kDefaultPortFile, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void Remember(int port) { ASSERT_TRUE(program->link.SaveDefaultPort(static_cast<std::uint8_t>(port))); }

    ImageCanvas canvas{200, 100};
    std::unique_ptr<Program> program;
};

}  // namespace tovrel::test
