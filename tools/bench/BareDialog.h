// Resource identifiers of the bare dialog.
#pragma once

#define IDD_BARE 200
