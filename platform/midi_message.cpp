// Short MIDI messages: their lengths, and running status.
#include "platform/midi_message.h"

int midi_message_length(uint8_t status) {
    if (status < 0x80) return 0;
    if (status < 0xC0) return 3;   // note off/on, key pressure, controller
    if (status < 0xE0) return 2;   // program change, channel pressure
    if (status < 0xF0) return 3;   // pitch bend
    switch (status) {
    case 0xF0: case 0xF7: return 0;
    case 0xF1: case 0xF3: return 2;
    case 0xF2: return 3;
    default: return 1;             // tune request, real-time and undefined
    }
}

int midi_message_unpack(uint32_t message, uint8_t *running, uint8_t bytes[3]) {
    const uint8_t b[3] = {(uint8_t)message, (uint8_t)(message >> 8), (uint8_t)(message >> 16)};
    if (b[0] < 0x80) {
        // Data first: the bytes continue the last channel message's status.
        if (!*running) return 0;
        bytes[0] = *running;
        bytes[1] = b[0];
        bytes[2] = b[1];
        return midi_message_length(*running);
    }
    int n = midi_message_length(b[0]);
    if (n == 0) return 0;
    bytes[0] = b[0];
    bytes[1] = b[1];
    bytes[2] = b[2];
    if (b[0] < 0xF0) *running = b[0];
    else if (b[0] < 0xF8) *running = 0;  // system common ends running status
    return n;
}
