#pragma once

// The controls of the diagram and of its range window.
enum TDiagramId : int {
    ID_DIAG_CHART = 1200,
    ID_DIAG_DATE,
    ID_DIAG_TIME,
    ID_DIAG_RANGE,
    ID_DIAG_WIDTH,
    ID_DIAG_REFRESH,
    ID_DIAG_STARTLABEL,
    ID_DIAG_WIDTHLABEL,
    ID_DIAG_GROUP,
    ID_DIAG_SERIES = 1210, // + series 0-5: the check boxes

    ID_RANGE_SLIDER = 1300,
    ID_RANGE_FIRST,
    ID_RANGE_LAST,
    ID_RANGE_CHOSEN,
    ID_RANGE_OK,
    ID_RANGE_CANCEL,
};
