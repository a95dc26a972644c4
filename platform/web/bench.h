// What only the browser build's entry switches on in its outputs
// (platform/web/outputs_web.cpp).
#pragma once

// Benchmark runs: the page gets the time of every frame-timer frame.
void web_bench(int on);
