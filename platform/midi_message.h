// Short MIDI messages as the classic MIDI-out calls pack them into one word:
// the status byte lowest, then the data bytes. Shared by the MIDI devices of
// every platform.
#pragma once

#include <cstdint>

// Bytes of a message with this status: 3, 2 or 1; 0 for a data byte and for
// the system-exclusive bytes, which are no short message.
int midi_message_length(uint8_t status);
// Unpacks `message` into bytes[0..2], status first. A message whose first
// byte is a data byte continues *running (the last channel status); a channel
// status becomes the running status, a system-common one ends it. Returns the
// message's length, or 0 (running status untouched) when it is no short
// message.
int midi_message_unpack(uint32_t message, uint8_t *running, uint8_t bytes[3]);
