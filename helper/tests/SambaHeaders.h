#pragma once

// Samba's generated NDR headers, in the order C++ needs them.
extern "C" {
#include <stdbool.h>
#include <stdint.h>
#include <talloc.h>
#include <util/data_blob.h>
#include <util/time.h>
#include <ndr.h>
#include <core/ntstatus.h>
#include <core/error.h>
#include <gen_ndr/security.h>
#include <gen_ndr/lsa.h>
#include <gen_ndr/samr.h>
}
