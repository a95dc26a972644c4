// MIDI output: device 0 as chosen, then the ALSA sequencer's ports. A MIDI_OUT
// of a port is one sequencer client with one readable port connected to the
// device's port; a MIDI_OUT of the synthesiser queues its messages with the
// sound player's sample position; a MIDI_OUT of the capture device records
// them (the most recent 4096 kept, all counted). Handles are owned by whoever
// opened them and freed by midi_out_close. Device queries go through one
// shared query client, opened on first use and kept for the process; the
// synthesiser is loaded at the first open of its device and kept too.
// Limits: no sysex (not a short message), no volume control on ports.
#include "platform/midi.h"

#include <alsa/asoundlib.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/backend.h"
#include "platform/midi_message.h"
#include "platform/player.h"
#include "platform/synth.h"

// The kinds of device.
enum { MIDI_PORT = 0, MIDI_SYNTH = 1, MIDI_CAPTURE = 2, MIDI_NONE = 3 };

struct MIDI_OUT {
    int kind;                  // MIDI_PORT, MIDI_SYNTH or MIDI_CAPTURE
    snd_seq_t *seq;            // own client (ports only)
    int port;                  // own port, connected to the device's port
    snd_midi_event_t *encoder; // turns raw bytes into sequencer events
    uint32_t volume;           // kept; the synthesiser plays at it
    uint8_t running;           // running status: last channel status byte, 0 if none
};

static const char midi_client_name[] = "RIVO7315";
static const char midi_capture_name[] = "RIVO7315 capture";

// ---- What device 0 is -------------------------------------------------------------

static int midi_zero_kind = MIDI_SYNTH;
static std::string midi_zero_port;  // the port asked for, when MIDI_PORT

int midi_out_choose(const char *where) {
    if (!where || !strcmp(where, "synth")) midi_zero_kind = MIDI_SYNTH;
    else if (!strcmp(where, "capture")) midi_zero_kind = MIDI_CAPTURE;
    else if (!strcmp(where, "none")) midi_zero_kind = MIDI_NONE;
    else if (!*where) return 0;
    else midi_zero_kind = MIDI_PORT;
    midi_zero_port = midi_zero_kind == MIDI_PORT ? where : "";
    return 1;
}

// Device 0 as it is: the synthesiser needs a SoundFont; without one the
// first port takes its place (headless: the capture device), said once.
static int midi_zero(void) {
    if (midi_zero_kind != MIDI_SYNTH || synth_soundfont()) return midi_zero_kind;
    static int said = 0;
    const char *instead = backend_is_headless() ? "the capture device" : "the first ALSA port";
    if (!said && synth_soundfont_chosen())
        fprintf(stderr, "rivo7315: cannot read the SoundFont %s; MIDI device 0 is %s\n",
                synth_soundfont_chosen(), instead);
    else if (!said)
        fprintf(stderr, "rivo7315: no General MIDI SoundFont found (install the package "
                        "timgm6mb-soundfont, or give --soundfont FILE); MIDI device 0 is %s\n",
                instead);
    said = 1;
    return backend_is_headless() ? MIDI_CAPTURE : MIDI_PORT;
}

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

// The report of the capture device or the synthesiser.
static void midi_builtin_caps(int kind, MIDI_CAPS *caps) {
    memset(caps, 0, sizeof *caps);
    caps->driver_version = 0x0100;
    caps->channel_mask = 0xFFFF;
    if (kind == MIDI_CAPTURE) {
        strncpy(caps->name, midi_capture_name, sizeof caps->name - 1);
        caps->technology = MIDI_TECH_PORT;
        return;
    }
    strncpy(caps->name, synth_name, sizeof caps->name - 1);
    caps->technology = MIDI_TECH_SWSYNTH;
    caps->voices = (uint16_t)synth_polyphony;
    caps->notes = (uint16_t)synth_polyphony;
    caps->support = MIDI_CAPS_VOLUME | MIDI_CAPS_LRVOLUME;
}

// ---- The synthesiser ----------------------------------------------------------------

static SYNTH *midi_engine = nullptr;
static int midi_engine_tried = 0;

// At the run's end the player first plays what is due, with the
// synthesiser, then lets it go before it is freed.
void midi_let_go(void) {
    if (!midi_engine) return;
    player_now();
    player_mix_synth(nullptr);
    synth_del(&midi_engine);
}

// Loads the synthesiser on first use; null (said once) when it cannot load.
static SYNTH *midi_synth(void) {
    if (midi_engine || midi_engine_tried) return midi_engine;
    midi_engine_tried = 1;
    const char *soundfont = synth_soundfont();
    midi_engine = synth_new(soundfont);
    if (!midi_engine) {
        fprintf(stderr, "rivo7315: cannot load the SoundFont %s; MIDI device 0 stays silent\n",
                soundfont ? soundfont : "(none)");
        return nullptr;
    }
    player_mix_synth(midi_engine);
    return midi_engine;
}

// ---- The sequencer ----------------------------------------------------------------

// alsa-lib prints its own complaint when there is no sequencer device; the
// caller reports the result code instead, so the library's lines are dropped.
static void midi_quiet(const char *, int, const char *, int, const char *, ...) {}

static snd_seq_t *midi_seq_open(void) {
    snd_seq_t *seq = nullptr;
    snd_lib_error_set_handler(midi_quiet);
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, SND_SEQ_NONBLOCK) < 0) return nullptr;
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

// Does the port answer to the --midi-out text: "CLIENT:PORT", or a part of
// the port's or its client's name?
static bool midi_port_matches(snd_seq_client_info_t *cinfo, snd_seq_port_info_t *pinfo) {
    const char *want = midi_zero_port.c_str();
    char numbers[32];
    snprintf(numbers, sizeof numbers, "%d:%d", snd_seq_port_info_get_client(pinfo),
             snd_seq_port_info_get_port(pinfo));
    const char *port = snd_seq_port_info_get_name(pinfo);
    const char *client = snd_seq_client_info_get_name(cinfo);
    return !strcmp(want, numbers) || (port && strstr(port, want)) || (client && strstr(client, want));
}

// Walks the output ports of the other clients in the sequencer's order.
// Returns how many there are; the info of the `device`-th (from 0), or of the
// first that matches the --midi-out text when `device` is negative, is copied
// into `found` and *hit set.
static uint32_t midi_scan(snd_seq_t *seq, int64_t device, snd_seq_port_info_t *found, bool *hit) {
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
            bool mine = device < 0 ? !*hit && midi_port_matches(cinfo, pinfo) : (int64_t)n == device;
            if (mine && found) {
                snd_seq_port_info_copy(found, pinfo);
                *hit = true;
            }
            n++;
        }
    }
    return n;
}

// Finds device `device` on the sequencer `seq`: its kind, and for a port its
// info in `pinfo`. Returns a result code.
static int32_t midi_find(snd_seq_t *seq, uint32_t device, int *kind, snd_seq_port_info_t *pinfo) {
    int zero = midi_zero();
    if (zero == MIDI_NONE) return MIDI_BADDEVICEID;
    // Device 0 of its own, before the ports; or the ports from 0.
    bool own_zero = zero != MIDI_PORT || !midi_zero_port.empty();
    if (device == 0 && (zero == MIDI_SYNTH || zero == MIDI_CAPTURE)) {
        *kind = zero;
        return MIDI_NOERROR;
    }
    if (backend_is_headless()) return MIDI_BADDEVICEID;
    if (!seq) return MIDI_NODRIVER;
    bool hit = false;
    int64_t index = own_zero ? (int64_t)device - 1 : (int64_t)device;
    if (own_zero && device == 0) index = -1;  // the port --midi-out named
    midi_scan(seq, index, pinfo, &hit);
    if (!hit) return MIDI_BADDEVICEID;
    *kind = MIDI_PORT;
    return MIDI_NOERROR;
}

uint32_t midi_out_get_num_devs(void) {
    int zero = midi_zero();
    if (zero == MIDI_NONE) return 0;
    bool own_zero = zero != MIDI_PORT || !midi_zero_port.empty();
    if (backend_is_headless()) return zero == MIDI_PORT ? 0 : 1;
    snd_seq_t *seq = midi_query_seq();
    uint32_t ports = seq ? midi_scan(seq, 0, nullptr, nullptr) : 0;
    if (zero == MIDI_PORT && own_zero) {
        // The named port counts as device 0 only when it is there.
        bool hit = false;
        snd_seq_port_info_t *pinfo;
        snd_seq_port_info_alloca(&pinfo);
        if (seq) midi_scan(seq, -1, pinfo, &hit);
        return hit ? ports + 1 : 0;
    }
    return own_zero ? ports + 1 : ports;
}

static void midi_port_caps(snd_seq_port_info_t *pinfo, MIDI_CAPS *caps) {
    memset(caps, 0, sizeof *caps);
    caps->mid = (uint16_t)snd_seq_port_info_get_client(pinfo);
    caps->pid = (uint16_t)snd_seq_port_info_get_port(pinfo);
    caps->driver_version = 0x0100;
    const char *name = snd_seq_port_info_get_name(pinfo);
    if (name) strncpy(caps->name, name, sizeof caps->name - 1);
    caps->technology = MIDI_TECH_PORT;
    caps->voices = (uint16_t)snd_seq_port_info_get_synth_voices(pinfo);
    caps->notes = (uint16_t)snd_seq_port_info_get_midi_voices(pinfo);
    int channels = snd_seq_port_info_get_midi_channels(pinfo);
    // A port that gives no channel count takes all sixteen.
    caps->channel_mask = (channels <= 0 || channels >= 16) ? 0xFFFF : (uint16_t)((1u << channels) - 1);
}

// Could device `device` be a sequencer port?
static bool midi_maybe_port(uint32_t device) {
    int zero = midi_zero();
    if (backend_is_headless() || zero == MIDI_NONE) return false;
    return device != 0 || zero == MIDI_PORT;
}

// The sequencer to ask about the device, when it could be a port.
static snd_seq_t *midi_seq_for(uint32_t device) { return midi_maybe_port(device) ? midi_query_seq() : nullptr; }

int32_t midi_out_get_dev_caps(uint32_t device, MIDI_CAPS *caps, uint32_t size) {
    if (!caps || size == 0) return MIDI_INVALPARAM;
    MIDI_CAPS full;
    snd_seq_port_info_t *pinfo;
    snd_seq_port_info_alloca(&pinfo);
    int kind = MIDI_PORT;
    int32_t result = midi_find(midi_seq_for(device), device, &kind, pinfo);
    if (result != MIDI_NOERROR) return result;
    if (kind == MIDI_PORT) midi_port_caps(pinfo, &full);
    else midi_builtin_caps(kind, &full);
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

// Connects a new client of its own to the port in `pinfo`.
static int32_t midi_connect(MIDI_OUT *m, snd_seq_port_info_t *pinfo) {
    m->port = snd_seq_create_simple_port(m->seq, "RIVO7315 MIDI out",
                                         SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                         SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    // Three bytes is the longest short message.
    if (m->port < 0 || snd_midi_event_new(16, &m->encoder) < 0) return MIDI_NOMEM;
    if (snd_seq_connect_to(m->seq, m->port, snd_seq_port_info_get_client(pinfo),
                           snd_seq_port_info_get_port(pinfo)) < 0)
        return MIDI_BADDEVICEID;
    return MIDI_NOERROR;
}

int32_t midi_out_open(MIDI_OUT **handle, uint32_t device) {
    if (!handle) return MIDI_INVALPARAM;
    *handle = nullptr;
    MIDI_OUT *m = (MIDI_OUT *)calloc(1, sizeof(MIDI_OUT));
    if (!m) return MIDI_NOMEM;
    m->port = -1;
    m->volume = 0xFFFFFFFFu;
    snd_seq_port_info_t *pinfo;
    snd_seq_port_info_alloca(&pinfo);
    if (midi_maybe_port(device)) m->seq = midi_seq_open();
    int32_t result = midi_find(m->seq, device, &m->kind, pinfo);
    if (result == MIDI_NOERROR && m->kind == MIDI_PORT) result = midi_connect(m, pinfo);
    if (result == MIDI_NOERROR && m->kind == MIDI_SYNTH) {
        if (!midi_synth()) result = MIDI_NODRIVER;
        else synth_set_volume(midi_engine, player_now(), m->volume);
    }
    if (result != MIDI_NOERROR) {
        midi_free(m);
        return result;
    }
    *handle = m;
    return MIDI_NOERROR;
}

int32_t midi_out_set_volume(MIDI_OUT *handle, uint32_t volume) {
    if (!handle) return MIDI_INVALHANDLE;
    handle->volume = volume;
    if (handle->kind == MIDI_SYNTH) synth_set_volume(midi_engine, player_now(), volume);
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
// The n bytes of a message in one word, the status byte lowest.
static uint32_t midi_pack(const uint8_t *bytes, int n) {
    uint32_t word = 0;
    for (int i = n - 1; i >= 0; i--) word = word << 8 | bytes[i];
    return word;
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
    uint8_t bytes[3];
    int n = midi_message_unpack(message, &handle->running, bytes);
    if (n == 0) return MIDI_INVALPARAM;
    // The capture keeps the word as given, without the bytes past the message.
    int given = (message & 0xFF) < 0x80 ? n - 1 : n;
    uint32_t sent = message & (0xFFFFFFu >> (8 * (3 - given)));
    if (handle->kind == MIDI_CAPTURE) midi_capture_record(sent);
    else if (handle->kind == MIDI_SYNTH) synth_send(midi_engine, player_now(), midi_pack(bytes, n));
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
    static std::string named;
    if (result == MIDI_BADDEVICEID && midi_zero_kind == MIDI_NONE)
        return "MIDI output is turned off (--midi-out none)";
    if (result == MIDI_BADDEVICEID && midi_zero_kind == MIDI_PORT && !midi_zero_port.empty()) {
        named = "no ALSA MIDI port matches '" + midi_zero_port + "'";
        return named.c_str();
    }
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

// ---- Before the run ---------------------------------------------------------------

// "N: name (synthesiser|port CLIENT:PORT)" for every device, as scene 3 sees them.
void midi_out_list(FILE *out) {
    uint32_t n = midi_out_get_num_devs();
    for (uint32_t device = 0; device < n; device++) {
        MIDI_CAPS caps;
        if (midi_out_get_dev_caps(device, &caps, sizeof caps) != MIDI_NOERROR) continue;
        if (caps.technology == MIDI_TECH_SWSYNTH)
            fprintf(out, "%u: %s (synthesiser, %u voices)\n", device, caps.name, caps.voices);
        else if (midi_zero() == MIDI_CAPTURE && device == 0)
            fprintf(out, "%u: %s (records the messages)\n", device, caps.name);
        else
            fprintf(out, "%u: %s (ALSA port %u:%u)\n", device, caps.name, caps.mid, caps.pid);
    }
    if (n == 0) fprintf(out, "no MIDI output device (%s)\n", midi_out_result_text(MIDI_BADDEVICEID));
}

// The ALSA output ports as "CLIENT:PORT name" joined by ", ", for a message.
static std::string midi_port_list(void) {
    snd_seq_t *seq = midi_query_seq();
    if (!seq) return "none (no ALSA sequencer)";
    std::string list;
    snd_seq_port_info_t *pinfo;
    snd_seq_port_info_alloca(&pinfo);
    uint32_t ports = midi_scan(seq, 0, nullptr, nullptr);
    for (uint32_t i = 0; i < ports; i++) {
        bool hit = false;
        midi_scan(seq, i, pinfo, &hit);
        if (!hit) continue;
        char one[96];
        snprintf(one, sizeof one, "%s%d:%d %s", list.empty() ? "" : ", ", snd_seq_port_info_get_client(pinfo),
                 snd_seq_port_info_get_port(pinfo), snd_seq_port_info_get_name(pinfo));
        list += one;
    }
    return list.empty() ? "none" : list;
}

int midi_out_check(int headless, FILE *err) {
    if (midi_zero_kind != MIDI_PORT || midi_zero_port.empty()) return 1;
    if (headless) {
        fprintf(err, "rivo7315: --midi-out '%s': headless runs use no ALSA port (synth, capture or none)\n",
                midi_zero_port.c_str());
        return 0;
    }
    if (midi_out_get_num_devs() > 0) return 1;
    fprintf(err, "rivo7315: --midi-out '%s': no such MIDI output port; the ports: %s\n", midi_zero_port.c_str(),
            midi_port_list().c_str());
    return 0;
}
