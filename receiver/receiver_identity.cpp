#include "receiver/receiver_identity.h"

bool IsReceiverIdentity(uint16_t vendorId, uint16_t productId, AcceptedReceivers accepted) {
    if (vendorId != kReceiverVendorId) {
        return false;
    }
    if (productId == kReceiverProductId) {
        return true;
    }
    return accepted == AcceptedReceivers::kTrayProgram && productId == kReceiverProductIdAlternate;
}

bool ReadVirtualIdentity(const uint8_t* message, std::size_t length, uint16_t* vendorId,
                         uint16_t* productId) {
    if (message == nullptr || length != kVirtualIdentitySize) {
        return false;
    }
    *vendorId = static_cast<uint16_t>(message[0] | (message[1] << 8));
    *productId = static_cast<uint16_t>(message[2] | (message[3] << 8));
    return true;
}

void WriteVirtualIdentity(uint16_t vendorId, uint16_t productId,
                          uint8_t (&message)[kVirtualIdentitySize]) {
    message[0] = static_cast<uint8_t>(vendorId);
    message[1] = static_cast<uint8_t>(vendorId >> 8);
    message[2] = static_cast<uint8_t>(productId);
    message[3] = static_cast<uint8_t>(productId >> 8);
}
