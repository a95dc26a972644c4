// Program entry: window class, pending key and the one-message pump.
#pragma once

