#pragma once

// Numbers of the texts of the instrument list (export and import of a
// project as comma-separated rows) in the language packs.
namespace InstrumentListStrings {
enum : int {
    QuoteNotClosed = 63370,
    NoKeyColumn = 63372,
    UnknownColumns = 63373,
    TypeUnknown = 63374,
    FolderWithoutParent = 63375,
    NameNotComposed = 63376,
    TypeDiffers = 63377,
    ChoiceUnknown = 63378,
    RefusedWithColumn = 63379,
    RefusedWithoutColumn = 63380,
    ImportRefused = 63381,
    Imported = 63382,
    ExportWritten = 63383,
    CannotRead = 63385,
    AddedLine = 63387,
    ChangedLine = 63388,
    ChangedValue = 63389,
    NoModuleRows = 63390,
    DryRunSummary = 63391,
    FolderAddedLine = 63392,
    TypeMissing = 63393,
    UnknownColumnsNone = 63394,
    RefusedLine = 63395,
    ChannelColumnUnknown = 63396,
    ImportCancelled = 63398,
    ProjectBusy = 63399,
    NothingImportedBeforeGone = 64600,
    ChannelHeader = 64750,
    RangeBeginHeader = 64751,
    RangeEndHeader = 64752,
    PlantHeader = 64753,
    CabinetHeader = 64754,
    CarrierHeader = 64755,
    TypeHeader = 64756,
    ModuleHeader = 64757,
};
} // namespace InstrumentListStrings
