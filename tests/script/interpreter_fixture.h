// A started headless game in which a test places script text at the read position and runs
// single items through the interpreter, then looks at the runtime, the view, the log and the
// dialogs shown.
#pragma once
#include <cstring>
#include <string>
#include <vector>

#include "platform/bmp_codec.h"
#include "platform/text_encoding.h"
#include "script/script_interpreter.h"
#include "script/script_runtime.h"
#include "tests/script/script_fixture.h"

class InterpreterTest : public ScriptFolderTest {
 protected:
  void TearDown() override {
    scriptRuntime.movieSlot.Close();
    scriptRuntime.radioSlot.Close();
    ScriptFolderTest::TearDown();
  }

  // The runtime as a scene leaves it between items: nothing pending, at the first cell.
  static void ResetRuntime() {
    ScriptRuntime& rt = scriptRuntime;
    rt.mode = 0;
    rt.waitPending = 0;
    rt.waitKind = kWaitNone;
    rt.charDelay = rt.waitTicks = 2;
    rt.tickCount = rt.fastForward = rt.clickWait = 0;
    rt.column = rt.line = 0;
    rt.fadeDir = 0;
    rt.sendTicks = 0;
    rt.returnPos = nullptr;
  }
  // `text` becomes the script buffer with the read position at its start.
  static void Put(const std::string& text) {
    ASSERT_LE(text.size(), static_cast<std::size_t>(kScriptBufferSize));
    std::memcpy(scriptRuntime.buffer, text.data(), text.size());
    scriptRuntime.buffer[text.size()] = '\0';
    scriptRuntime.pos = scriptRuntime.buffer;
  }
  // Runs the item at the start of `text`; returns ScriptCmd's result.
  static int Run(const std::string& text) {
    Put(text);
    return ScriptCmd();
  }
  // What is left to read at the read position.
  static std::string Rest() { return scriptRuntime.pos != nullptr ? std::string(scriptRuntime.pos) : ""; }

  // True when the log holds the line (given in CP932, as the program writes it).
  bool LogHas(const std::string& cp932) const { return Log().find(plat::Cp932ToUtf8(cp932)) != std::string::npos; }
  // How often the log holds the text.
  int LogCount(const std::string& cp932) const {
    const std::string log = Log(), want = plat::Cp932ToUtf8(cp932);
    int n = 0;
    for (std::size_t at = log.find(want); at != std::string::npos; at = log.find(want, at + 1)) ++n;
    return n;
  }

  // A 640 × 480 picture of one colour (bytes in the surface's order) as misc/<name>.bmp.
  void WritePicture(const std::string& name, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
    std::vector<std::uint8_t> bits(640 * 480 * 3);
    for (std::size_t i = 0; i < bits.size(); i += 3) bits[i] = b0, bits[i + 1] = b1, bits[i + 2] = b2;
    const plat::PixelView view{bits.data(), 640, 480, 640 * 3};
    fs::create_directories(game_ / "misc");
    ASSERT_TRUE(plat::WriteBmp24((game_ / "misc" / (name + ".bmp")).string(), view));
  }
  // The three bytes of a surface's pixel.
  static std::vector<std::uint8_t> PixelOf(const CDibSurface& s, int x, int y) {
    const std::uint8_t* p = s.View().At(x, y);
    return {p[0], p[1], p[2]};
  }
};
