// What only the browser build's entry sets on the session (platform/web/session.cpp).
#pragma once

// Benchmark runs: the page gets the time of every frame-timer frame.
void web_session_bench(int on);
