#pragma once

// Identifiers of the network server window's controls, within the settings page's range:
// tests and the screenshot tools find the controls by them.
enum TNetworkControlId : int {
    ID_NETWORK_ENABLED = 650,
    ID_NETWORK_LISTEN,
    ID_NETWORK_PORT,
    ID_NETWORK_UPSNAME,
    ID_NETWORK_USER,
    ID_NETWORK_PASSWORD,
    ID_NETWORK_FIREWALL, // the hint on the firewall
    ID_NETWORK_OK,
    ID_NETWORK_CANCEL,
};
