#pragma once

// Qt's raster engine hands every fill of many spans (a full-height grid line, an antialiased
// polyline) out to the threads of Qt's global pool, unless it already runs on one of them. For a
// plot's many thin lines the hand-offs cost more than the drawing itself: on two cores a
// 1920 x 1080 plot takes about four times as long. Drawing into an image therefore runs on one
// thread of that pool while the caller waits; nothing else runs meanwhile, so the model needs no
// lock.

#include <functional>

// Runs paint to completion on a thread of Qt's global pool, or here when the pool has no thread to
// give. An exception thrown by paint reaches the caller.
void PaintSerially(const std::function<void()>& paint);
