// The sound device's last step in a browser: plays the stereo blocks the page
// queues, in order, and tells the page how many frames it has played so the
// page keeps a steady lead. Silence while the queue is empty.
class RivoSound extends AudioWorkletProcessor {
  constructor() {
    super();
    this.queue = [];
    this.at = 0;       // frames of queue[0] already played
    this.played = 0;
    this.rounds = 0;
    this.port.onmessage = (e) => this.queue.push(e.data);
  }
  process(inputs, outputs) {
    const left = outputs[0][0], right = outputs[0][1] || outputs[0][0];
    let i = 0;
    while (i < left.length && this.queue.length) {
      const block = this.queue[0];
      const n = Math.min(left.length - i, block.left.length - this.at);
      left.set(block.left.subarray(this.at, this.at + n), i);
      right.set(block.right.subarray(this.at, this.at + n), i);
      i += n;
      this.at += n;
      this.played += n;
      if (this.at >= block.left.length) { this.queue.shift(); this.at = 0; }
    }
    left.fill(0, i);
    right.fill(0, i);
    // About every 23 ms at 44.1 kHz.
    if (++this.rounds % 8 === 0) this.port.postMessage(this.played);
    return true;
  }
}
registerProcessor('rivo-sound', RivoSound);
