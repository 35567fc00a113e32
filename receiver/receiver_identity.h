#pragma once
// Which devices are the remote's receiver.

#include <cstddef>
#include <cstdint>

constexpr uint16_t kReceiverVendorId = 0x147A;
constexpr uint16_t kReceiverProductId = 0xE001;
constexpr uint16_t kReceiverProductIdAlternate = 0xE006;  // accepted by the tray program only

enum class AcceptedReceivers {
    kTrayProgram,  // both product ids
    kEditor,       // the first product id only
};

bool IsReceiverIdentity(uint16_t vendorId, uint16_t productId, AcceptedReceivers accepted);

// The virtual receiver's first message: vendor id then product id, 16-bit little-endian each.
constexpr std::size_t kVirtualIdentitySize = 4;
bool ReadVirtualIdentity(const uint8_t* message, std::size_t length, uint16_t* vendorId,
                         uint16_t* productId);
void WriteVirtualIdentity(uint16_t vendorId, uint16_t productId,
                          uint8_t (&message)[kVirtualIdentitySize]);

// Report types, byte 1 of an input report.
constexpr uint8_t kButtonReport = 0x40;
constexpr uint8_t kPadMove = 0x88;
constexpr uint8_t kPadLeftDrag = 0x89;
constexpr uint8_t kPadRightDrag = 0x8A;

// Every later message of the virtual receiver is one input report of this size.
constexpr std::size_t kVirtualReportSize = 5;

// The named pipe the virtual receiver serves and its readers open.
constexpr char kVirtualPipeName[] = "\\\\.\\pipe\\tellwand-virtual-receiver";
