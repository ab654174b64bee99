// The reading dialogs: a serial number asked by a loader thread and answered by a code
// scanned with the serial bar-code reader; the reader's state in the picture; typed and
// scanned text; IPv4 addresses scanned as dotted addresses or hexadecimal numbers.
#include "app/OrvaneDoc.h"
#include "app/gui/BarCodePicture.h"
#include "app/gui/GuiInterfaceThread.h"
#include "app/gui/Ipv4AddressField.h"
#include "app/gui/Leer.h"
#include "app/gui/LeerIP.h"
#include "guidialogs/ModalScript.h"
#include "guidialogs/ReaderDouble.h"
#include "platform/SettingsStore.h"
#include "support/PtyPair.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>
#include <unistd.h>

namespace {

struct GuiStation {
    explicit GuiStation(const std::string& settingsText)
        : settings(dir.write("orvane.conf", "[Settings]\nDirEqui=" + dir.mkdir("terminals") + "\n" + settingsText))
    {
        doc.setInterfaceThread(&gui);
        doc.reload();
    }
    ~GuiStation() { doc.setInterfaceThread(nullptr); }

    TempDir dir;
    platform::SettingsStore settings;
    OrvaneDoc doc{settings};
    GuiInterfaceThread gui{doc};
};

TEST(SerialNumberReading, ALoaderThreadsRequestIsAnsweredByAScannedCode)
{
    PtyPair scanner;
    GuiStation station("NumeroSerieRadio=1\nLecturaRadio=1\nLecturaPuerto=" + scanner.slavePath() + "\n");
    ASSERT_NE(station.doc.reader(), nullptr);

    ModalScript script;
    script.then<Leer>([&](Leer& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Serial Number /dev/ttyUSB0");
        // The reader opens its port once reading is enabled; the picture turns black.
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.picture()->readerReady(); }, 10000));
        EXPECT_EQ(dialog.picture()->barColour(), QColor(Qt::black));
        const std::string code = "0000012345\r";
        ASSERT_EQ(::write(scanner.master(), code.data(), code.size()), static_cast<ssize_t>(code.size()));
    });

    std::atomic<bool> answered{false};
    bool assigned = false;
    std::string serial;
    std::thread loader([&] {
        assigned = station.doc.assignSerialNumber("/dev/ttyUSB0", serial);
        answered.store(true);
    });
    const bool ended = QTest::qWaitFor([&] { return answered.load(); }, 60000);
    loader.join();
    ASSERT_TRUE(ended);
    EXPECT_TRUE(assigned);
    EXPECT_EQ(serial, "0000012345");
    EXPECT_TRUE(script.done());
}

TEST(TextReading, ShowsTheReadersStateTakesDigitsFromTheKeyboardAndScannedCodesAsRead)
{
    GuiStation station("");
    ReaderDouble reader;
    ModalScript script;
    script.then<Leer>([&](Leer& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "MAC Number  port 2");
        EXPECT_EQ(reader.client(), &dialog);
        EXPECT_FALSE(dialog.picture()->readerReady());
        EXPECT_NE(dialog.picture()->barColour(), QColor(Qt::black));
        reader.deviceUp();
        EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.picture()->readerReady(); }, 5000));
        reader.deviceDown();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.picture()->readerReady(); }, 5000));
        QTest::keyClicks(dialog.edit(), "12a-3");
        EXPECT_EQ(dialog.edit()->text(), "123");
        reader.scan("00a0\xE9Z\n7");
    });
    std::string text;
    EXPECT_TRUE(station.gui.readText("MAC Number  port 2", text, &reader));
    EXPECT_EQ(text, "00a0\xE9Z\n7"); // letters, CP1252 bytes and control bytes kept
    EXPECT_EQ(reader.client(), nullptr) << "the dialog lets go of the reader when it goes";
    EXPECT_TRUE(script.done());
}

TEST(TextReading, TypedTextIsConfirmedByOkAndEscapeCancels)
{
    GuiStation station("");
    ModalScript script;
    script.then<Leer>([](Leer& dialog) {
        QTest::keyClicks(dialog.edit(), "0042");
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    });
    script.then<Leer>([](Leer& dialog) {
        QTest::keyClicks(dialog.edit(), "77");
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    std::string first = "unchanged", second = "unchanged";
    EXPECT_TRUE(station.gui.readText("", first, nullptr));
    EXPECT_FALSE(station.gui.readText("", second, nullptr));
    EXPECT_EQ(first, "0042");
    EXPECT_EQ(second, "unchanged");
    EXPECT_TRUE(script.done());

    Leer untitled(nullptr, "");
    EXPECT_EQ(untitled.windowTitle(), "Serial Number Bar Code Reader  ");
}

TEST(TextReading, ACodeReadBeforeTheDialogOpensAnswersIt)
{
    GuiStation station("");
    ReaderDouble reader;
    reader.scan("0000099999");
    ModalScript script; // nothing to do: only a guard against a dialog left open
    std::string text;
    EXPECT_TRUE(station.gui.readText("Serial Number port 1", text, &reader));
    EXPECT_EQ(text, "0000099999");
}

TEST(AddressReading, ScannedCodesAreReadAsDottedAddressesOrHexadecimalNumbers)
{
    struct Case {
        std::uint32_t shown;   // the address the dialog opens with
        const char* typed;     // typed into the four boxes before the scan, if any
        const char* code;
        std::optional<std::uint32_t> answer; // nothing: cancelled
    };
    const Case cases[] = {
        {0, nullptr, "192.168.1.20", 0xC0A80114u},
        {0, nullptr, "C0A80114", 0xC0A80114u},
        {0, nullptr, "0x0a000001", 0x0A000001u},
        {0, nullptr, "10.1", 0x00000A01u},            // fewer fields fill the low bytes
        {0, nullptr, "0", std::nullopt},              // 0.0.0.0 answers Cancel
        {0, nullptr, "1.2.3.4.5", std::nullopt},      // not an address: the blank field stays
        {0, "10|0|0|7", "1.2.3.4.5", 0x0A000007u},    // not an address: the typed one stays
        {0, "10|0|0|7", "0.0.0.0", std::nullopt},
        {0xC0A80001u, nullptr, "garbage!", 0xC0A80001u},
    };
    GuiStation station("");
    for (const Case& c : cases) {
        ReaderDouble reader;
        ModalScript script;
        script.then<LeerIP>([&](LeerIP& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "/dev/ttyUSB3");
            EXPECT_EQ(dialog.edit(), nullptr);
            if (c.typed) {
                const QStringList boxes = QString(c.typed).split('|');
                for (int i = 0; i < 4; ++i)
                    QTest::keyClicks(dialog.addressField()->box(i), boxes[i]);
            }
            reader.scan(c.code);
        });
        std::uint32_t address = c.shown;
        const bool answered = station.gui.readIpAddress("/dev/ttyUSB3", address, &reader);
        EXPECT_EQ(answered, c.answer.has_value()) << c.code;
        if (c.answer) {
            EXPECT_EQ(address, *c.answer) << c.code;
        }
        EXPECT_TRUE(script.done()) << c.code;
    }
}

TEST(AddressReading, TheAddressFieldTakesOnlyBytesAndOkWithABlankFieldCancels)
{
    GuiStation station("");
    ModalScript script;
    script.then<LeerIP>([](LeerIP& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "IP address reading");
        Ipv4AddressField& field = *dialog.addressField();
        EXPECT_TRUE(field.isBlank());
        QTest::keyClicks(field.box(0), "256");
        EXPECT_EQ(field.box(0)->text(), "25");
        QTest::keyClicks(field.box(1), "x9");
        EXPECT_EQ(field.address(), 0x19090000u);
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    });
    script.then<LeerIP>([](LeerIP& dialog) { QTest::mouseClick(dialog.okButton(), Qt::LeftButton); });
    std::uint32_t typed = 0, blank = 0;
    EXPECT_TRUE(station.gui.readIpAddress("", typed, nullptr));
    EXPECT_EQ(typed, 0x19090000u);
    EXPECT_FALSE(station.gui.readIpAddress("", blank, nullptr));
    EXPECT_TRUE(script.done());
}

// The operator types an address as it is written, dots included: three digits move the
// typing on by themselves, and the dot after them must not move it once more; a box
// showing 0 takes the first digit in its place, also where the operator clicked after
// the 0.
TEST(AddressReading, AnAddressTypedWithItsDotsFillsTheBoxesInOrder)
{
    enum class Start { Blank, ZeroSelected, ZeroClickedInto };
    struct Case {
        const char* typed;
        Start start; // a page shows a stored 0 as 0.0.0.0
        std::uint32_t address;
    } const cases[] = {
        {"192.168.0.10", Start::ZeroSelected, 0xC0A8000Au},
        {"192.168.0.10", Start::ZeroClickedInto, 0xC0A8000Au},
        {"255.255.255.0", Start::ZeroSelected, 0xFFFFFF00u},
        {"10.1.2.3", Start::Blank, 0x0A010203u},
        {"1..2", Start::Blank, 0x01020000u}, // a dot in an empty box stays there
        {"172.16.254.1", Start::Blank, 0xAC10FE01u},
    };
    for (const Case& c : cases) {
        Ipv4AddressField field;
        if (c.start != Start::Blank)
            field.setAddress(0);
        field.show();
        field.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&field)) << c.typed;
        field.box(0)->setFocus();
        if (c.start == Start::ZeroClickedInto)
            field.box(0)->setCursorPosition(1); // after the 0, nothing selected
        else
            field.box(0)->selectAll();
        for (const char* key = c.typed; *key; ++key)
            QTest::keyClick(QApplication::focusWidget(), *key);
        EXPECT_EQ(field.address(), c.address) << c.typed;
    }
}

} // namespace
