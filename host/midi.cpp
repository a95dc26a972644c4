// MIDI output over the ALSA sequencer. A MIDI_OUT is one sequencer client
// with one readable port connected to the chosen device's port; it is owned by
// whoever opened it and freed by midi_out_close. Device queries go through one
// shared query client, opened on first use and kept for the process.
// In the headless backend the only device is a built-in capture device that
// keeps the most recent 4096 messages and counts all of them.
// Limits: no sysex (not a short message), no volume control.
#include "host/midi.h"

#include <alsa/asoundlib.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "host/backend.h"

struct MIDI_OUT {
    int capture;               // 1: the headless capture device
    snd_seq_t *seq;            // own client (null for the capture device)
    int port;                  // own port, connected to the device's port
    snd_midi_event_t *encoder; // turns raw bytes into sequencer events
    uint32_t volume;           // kept, not applied
    uint8_t running;           // running status: last channel status byte, 0 if none
};

static const char midi_client_name[] = "RIVO7315";
static const char midi_capture_name[] = "RIVO7315 capture";

// ---- The capture device ---------------------------------------------------------

// A power of two, so the ring index is a mask of the running total.
static const uint32_t midi_capture_size = 4096;
static uint32_t midi_capture_ring[midi_capture_size];
static uint32_t midi_capture_total = 0;

static void midi_capture_record(uint32_t message) {
    midi_capture_ring[midi_capture_total & (midi_capture_size - 1)] = message;
    midi_capture_total++;
}

uint32_t midi_capture_count(void) { return midi_capture_total; }

uint32_t midi_capture_kept(void) {
    return midi_capture_total < midi_capture_size ? midi_capture_total : midi_capture_size;
}

uint32_t midi_capture_message(uint32_t i) {
    uint32_t kept = midi_capture_kept();
    if (i >= kept) return 0;
    return midi_capture_ring[(midi_capture_total - kept + i) & (midi_capture_size - 1)];
}

void midi_capture_clear(void) {
    midi_capture_total = 0;
    memset(midi_capture_ring, 0, sizeof midi_capture_ring);
}

static void midi_capture_caps(MIDI_CAPS *caps) {
    memset(caps, 0, sizeof *caps);
    caps->driver_version = 0x0100;
    strncpy(caps->name, midi_capture_name, sizeof caps->name - 1);
    caps->technology = 1;
    caps->channel_mask = 0xFFFF;
}

// ---- The sequencer ----------------------------------------------------------------

// alsa-lib prints its own complaint when there is no sequencer device; the
// caller reports the result code instead, so the library's line is dropped.
static void midi_quiet(const char *, int, const char *, int, const char *, ...) {}

static snd_seq_t *midi_seq_open(void) {
    snd_seq_t *seq = nullptr;
    snd_lib_error_set_handler(midi_quiet);
    int err = snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, SND_SEQ_NONBLOCK);
    snd_lib_error_set_handler(nullptr);
    if (err < 0) return nullptr;
    snd_seq_set_client_name(seq, midi_client_name);
    return seq;
}

static snd_seq_t *midi_query = nullptr;

static snd_seq_t *midi_query_seq(void) {
    if (!midi_query) midi_query = midi_seq_open();
    return midi_query;
}

static bool midi_is_output(snd_seq_port_info_t *pinfo) {
    const unsigned need = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
    unsigned caps = snd_seq_port_info_get_capability(pinfo);
    return (caps & need) == need && !(caps & SND_SEQ_PORT_CAP_NO_EXPORT);
}

// Walks the output ports of the other clients in the sequencer's order.
// Returns how many there are; when `device` is among them its info is copied
// into `found`.
static uint32_t midi_scan(snd_seq_t *seq, uint32_t device, snd_seq_port_info_t *found) {
    snd_seq_client_info_t *cinfo;
    snd_seq_port_info_t *pinfo;
    snd_seq_client_info_alloca(&cinfo);
    snd_seq_port_info_alloca(&pinfo);
    int own = snd_seq_client_id(seq);
    uint32_t n = 0;
    snd_seq_client_info_set_client(cinfo, -1);
    while (snd_seq_query_next_client(seq, cinfo) >= 0) {
        int client = snd_seq_client_info_get_client(cinfo);
        if (client == own || client == SND_SEQ_CLIENT_SYSTEM) continue;
        snd_seq_port_info_set_client(pinfo, client);
        snd_seq_port_info_set_port(pinfo, -1);
        while (snd_seq_query_next_port(seq, pinfo) >= 0) {
            if (!midi_is_output(pinfo)) continue;
            if (n == device && found) snd_seq_port_info_copy(found, pinfo);
            n++;
        }
    }
    return n;
}

uint32_t midi_out_get_num_devs(void) {
    if (backend_headless()) return 1;
    snd_seq_t *seq = midi_query_seq();
    return seq ? midi_scan(seq, 0, nullptr) : 0;
}

static void midi_port_caps(snd_seq_port_info_t *pinfo, MIDI_CAPS *caps) {
    memset(caps, 0, sizeof *caps);
    caps->mid = (uint16_t)snd_seq_port_info_get_client(pinfo);
    caps->pid = (uint16_t)snd_seq_port_info_get_port(pinfo);
    caps->driver_version = 0x0100;
    const char *name = snd_seq_port_info_get_name(pinfo);
    if (name) strncpy(caps->name, name, sizeof caps->name - 1);
    caps->technology = 1;
    caps->voices = (uint16_t)snd_seq_port_info_get_synth_voices(pinfo);
    caps->notes = (uint16_t)snd_seq_port_info_get_midi_voices(pinfo);
    int channels = snd_seq_port_info_get_midi_channels(pinfo);
    // A port that gives no channel count takes all sixteen.
    caps->channel_mask = (channels <= 0 || channels >= 16) ? 0xFFFF : (uint16_t)((1u << channels) - 1);
}

int32_t midi_out_get_dev_caps(uint32_t device, MIDI_CAPS *caps, uint32_t size) {
    if (!caps || size == 0) return MIDI_INVALPARAM;
    MIDI_CAPS full;
    if (backend_headless()) {
        if (device != 0) return MIDI_BADDEVICEID;
        midi_capture_caps(&full);
    } else {
        snd_seq_t *seq = midi_query_seq();
        if (!seq) return MIDI_NODRIVER;
        snd_seq_port_info_t *pinfo;
        snd_seq_port_info_alloca(&pinfo);
        if (device >= midi_scan(seq, device, pinfo)) return MIDI_BADDEVICEID;
        midi_port_caps(pinfo, &full);
    }
    memcpy(caps, &full, size < sizeof full ? size : sizeof full);
    return MIDI_NOERROR;
}

// ---- Open devices -------------------------------------------------------------------

static void midi_free(MIDI_OUT *m) {
    if (m->encoder) snd_midi_event_free(m->encoder);
    if (m->seq) {
        if (m->port >= 0) snd_seq_delete_simple_port(m->seq, m->port);
        snd_seq_close(m->seq);
    }
    free(m);
}

int32_t midi_out_open(MIDI_OUT **handle, uint32_t device) {
    if (!handle) return MIDI_INVALPARAM;
    *handle = nullptr;
    MIDI_OUT *m = (MIDI_OUT *)calloc(1, sizeof(MIDI_OUT));
    if (!m) return MIDI_NOMEM;
    m->port = -1;
    m->volume = 0xFFFFFFFFu;
    if (backend_headless()) {
        if (device != 0) {
            free(m);
            return MIDI_BADDEVICEID;
        }
        m->capture = 1;
        *handle = m;
        return MIDI_NOERROR;
    }
    m->seq = midi_seq_open();
    if (!m->seq) {
        free(m);
        return MIDI_NODRIVER;
    }
    snd_seq_port_info_t *pinfo;
    snd_seq_port_info_alloca(&pinfo);
    if (device >= midi_scan(m->seq, device, pinfo)) {
        midi_free(m);
        return MIDI_BADDEVICEID;
    }
    m->port = snd_seq_create_simple_port(m->seq, "RIVO7315 MIDI out",
                                         SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                         SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    // Three bytes is the longest short message.
    if (m->port < 0 || snd_midi_event_new(16, &m->encoder) < 0) {
        midi_free(m);
        return MIDI_NOMEM;
    }
    if (snd_seq_connect_to(m->seq, m->port, snd_seq_port_info_get_client(pinfo),
                           snd_seq_port_info_get_port(pinfo)) < 0) {
        midi_free(m);
        return MIDI_BADDEVICEID;
    }
    *handle = m;
    return MIDI_NOERROR;
}

int32_t midi_out_set_volume(MIDI_OUT *handle, uint32_t volume) {
    if (!handle) return MIDI_INVALHANDLE;
    handle->volume = volume;
    return MIDI_NOERROR;
}

int32_t midi_out_get_volume(MIDI_OUT *handle, uint32_t *volume) {
    if (!handle) return MIDI_INVALHANDLE;
    if (!volume) return MIDI_INVALPARAM;
    *volume = handle->volume;
    return MIDI_NOERROR;
}

// Bytes a message with this status byte takes, the status included; 0 for
// the bytes that cannot start a short message (sysex start and end).
static int midi_message_length(uint8_t status) {
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

// Hands complete bytes to the encoder and sends each event it completes.
static void midi_send_bytes(MIDI_OUT *m, const uint8_t *bytes, int n) {
    snd_midi_event_reset_encode(m->encoder);
    for (int i = 0; i < n; i++) {
        snd_seq_event_t ev;
        snd_seq_ev_clear(&ev);
        if (snd_midi_event_encode_byte(m->encoder, bytes[i], &ev) != 1) continue;
        snd_seq_ev_set_source(&ev, m->port);
        snd_seq_ev_set_subs(&ev);
        snd_seq_ev_set_direct(&ev);
        snd_seq_event_output_direct(m->seq, &ev);
    }
}

int32_t midi_out_short_msg(MIDI_OUT *handle, uint32_t message) {
    if (!handle) return MIDI_INVALHANDLE;
    uint8_t b[4] = {(uint8_t)message, (uint8_t)(message >> 8), (uint8_t)(message >> 16), 0};
    uint8_t bytes[3];
    int n;
    uint32_t sent;
    if (b[0] < 0x80) {
        // Data first: the bytes continue the last channel message's status.
        if (!handle->running) return MIDI_INVALPARAM;
        n = midi_message_length(handle->running);
        bytes[0] = handle->running;
        bytes[1] = b[0];
        bytes[2] = b[1];
        sent = message & (n == 3 ? 0xFFFFu : 0xFFu);
    } else {
        n = midi_message_length(b[0]);
        if (n == 0) return MIDI_INVALPARAM;
        memcpy(bytes, b, 3);
        sent = message & (0xFFFFFFu >> (8 * (3 - n)));
        if (b[0] < 0xF0) handle->running = b[0];
        else if (b[0] < 0xF8) handle->running = 0;  // system common ends running status
    }
    if (handle->capture) midi_capture_record(sent);
    else midi_send_bytes(handle, bytes, n);
    return MIDI_NOERROR;
}

int32_t midi_out_reset(MIDI_OUT *handle) {
    if (!handle) return MIDI_INVALHANDLE;
    for (uint32_t ch = 0; ch < 16; ch++) {
        midi_out_short_msg(handle, 0xB0u | ch | (64u << 8));   // sustain pedal off
        midi_out_short_msg(handle, 0xB0u | ch | (123u << 8));  // all notes off
    }
    return MIDI_NOERROR;
}

int32_t midi_out_close(MIDI_OUT *handle) {
    if (!handle) return MIDI_INVALHANDLE;
    midi_free(handle);
    return MIDI_NOERROR;
}

const char *midi_out_result_text(int32_t result) {
    switch (result) {
    case MIDI_NOERROR: return "no error";
    case MIDI_BADDEVICEID:
        return "no MIDI output port exists (loading the kernel's MIDI-through module "
               "snd-seq-dummy, `modprobe snd-seq-dummy`, gives one)";
    case MIDI_INVALHANDLE: return "the MIDI device is not open";
    case MIDI_NODRIVER:
        return "no ALSA sequencer is available (/dev/snd/seq is missing; loading the kernel "
               "modules snd-seq and snd-seq-dummy gives one with a MIDI-through port)";
    case MIDI_NOMEM: return "out of memory or sequencer resources";
    case MIDI_INVALPARAM: return "invalid parameter";
    default: return "unknown MIDI error";
    }
}
