#include "receiver/receiver_identity.h"

#include <gtest/gtest.h>

namespace {

TEST(ReceiverIdentity, TrayProgramTakesBothProductsAndTheEditorOnlyTheFirst) {
    struct Case {
        uint16_t vendor, product;
        bool tray, editor;
    } cases[] = {
        {0x147A, 0xE001, true, true},   {0x147A, 0xE006, true, false},
        {0x147A, 0xE002, false, false}, {0x147B, 0xE001, false, false},
        {0x0000, 0x0000, false, false}, {0x7A14, 0x01E0, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsReceiverIdentity(c.vendor, c.product, AcceptedReceivers::kTrayProgram), c.tray);
        EXPECT_EQ(IsReceiverIdentity(c.vendor, c.product, AcceptedReceivers::kEditor), c.editor);
    }
}

TEST(ReceiverIdentity, VirtualIdentityIsTwoLittleEndianWords) {
    const uint8_t message[] = {0x7A, 0x14, 0x06, 0xE0};
    uint16_t vendor = 0, product = 0;
    ASSERT_TRUE(ReadVirtualIdentity(message, 4, &vendor, &product));
    EXPECT_EQ(vendor, 0x147A);
    EXPECT_EQ(product, 0xE006);
    EXPECT_FALSE(ReadVirtualIdentity(message, 3, &vendor, &product));
    EXPECT_FALSE(ReadVirtualIdentity(message, 5, &vendor, &product));
    EXPECT_FALSE(ReadVirtualIdentity(nullptr, 4, &vendor, &product));
}

TEST(ReceiverIdentity, WrittenVirtualIdentityReadsBackAsWritten) {
    uint8_t message[kVirtualIdentitySize] = {};
    WriteVirtualIdentity(0x147A, 0xE006, message);
    EXPECT_EQ(message[0], 0x7A);
    EXPECT_EQ(message[1], 0x14);
    EXPECT_EQ(message[2], 0x06);
    EXPECT_EQ(message[3], 0xE0);
    for (uint16_t vendor : {0x0000, 0x147A, 0x80FF, 0xFFFF}) {
        for (uint16_t product : {0x0000, 0xE001, 0x01E0, 0xFFFF}) {
            WriteVirtualIdentity(vendor, product, message);
            uint16_t readVendor = 0, readProduct = 0;
            ASSERT_TRUE(ReadVirtualIdentity(message, sizeof message, &readVendor, &readProduct));
            EXPECT_EQ(readVendor, vendor);
            EXPECT_EQ(readProduct, product);
        }
    }
}

}  // namespace
