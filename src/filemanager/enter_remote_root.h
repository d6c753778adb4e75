#pragma once
// The way into the account's remote root, the Remote view's first folder.

// Goes to the remote root (CWD), making it first (MKD) when a fresh account has none yet.
// Only the refusal 550 leads to the MKD; other replies are not examined. True when the
// session is in the root now.
bool EnterRemoteRoot();
