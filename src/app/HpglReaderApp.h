// The application object of one conversion: prepares the logs, checks the options, and runs the
// set-up of the output, the conversion of the plot and the save, turning every outcome into a
// numbered message and an exit code.
#pragma once

#include "app/ConversionSetup.h"
#include "app/MessageManager.h"
#include "base/PlatformFile.h"
#include "convert/DbHandle.h"
#include "convert/HpglConverter.h"
#include "db/ResourceSettings.h"

#include <cstdint>
#include <memory>
#include <string>

// Kind of output, decided from the output name.
enum OutputKind : std::int32_t {
    kOutputNone = 0,
    kOutputSymbol = 1,    // ".smb"
    kOutputSheet = 2,     // ".sht" whose directory exists
    kOutputNewSheet = 3,  // ".sht" whose directory does not exist yet
};

// Message numbers of the driver.
enum DriverMessage : int {
    kMsgNoSheet = 36701,
    kMsgCannotMakeDirectory = 36707,
    kMsgBadOutputName = 36708,
    kMsgNoInput = 36710,
    kMsgUnreadable = 36711,
    kMsgSheetSetupFailed = 36714,
    kMsgCannotMakeReference = 36715,
    kMsgCannotWriteReference = 36716,
    kMsgSymbolOpenFailed = 36720,
    kMsgSymbolEmpty = 36721,
    kMsgSymbolSaveFailed = 36722,
    kMsgSheetOpenFailed = 36723,
    kMsgSheetEmpty = 36724,
    kMsgSheetSaveFailed = 36725,
    kMsgSaved = 36752,
};

class HpglReaderApp {
public:
    HpglReaderApp();
    virtual ~HpglReaderApp();
    HpglReaderApp(const HpglReaderApp&) = delete;
    HpglReaderApp& operator=(const HpglReaderApp&) = delete;

    // Runs one conversion over the argument vector (argv[0] the program name). Returns the exit
    // code: 0 saved, 1 failed (reported in the error log), 3 version banner, 5 usage error.
    int run(int argc, char** argv);

    // Reads and checks the options, the target and the output name. 0 when the run may go on,
    // otherwise the exit code (1 after a reported failure, 3 after -V, 5 for a rejected option
    // or a missing target). argv is rearranged by the option parser.
    int parseArguments(int argc, char** argv);

    // Prepares the output design and database: the output is locked from before it is opened
    // until writeOutput has saved it. 1 on success, 0 after a reported failure.
    virtual int setUp();
    // Completes and saves the output, then lets its lock go. Non-zero on success, 0 after a
    // reported failure.
    virtual int writeOutput();

    const std::string& target() const { return target_; }
    const std::string& output() const { return output_; }
    const std::string& penMap() const { return penMap_; }
    std::int32_t outputKind() const { return outputKind_; }
    double scale() const { return scale_; }
    std::int32_t offsetX() const { return offsetX_; }
    std::int32_t offsetY() const { return offsetY_; }
    std::int32_t keepExisting() const { return keepExisting_; }
    std::int32_t openedExisting() const { return openedExisting_; }
    // The message manager, once run has made it.
    MessageManager* messages() const { return messages_.get(); }

protected:
    // One-time initialisation of the database layer (its class registry).
    virtual void initialiseDatabase();
    // Builds the HpglConverter from the set-up's settings and sheet and the offsets, and
    // converts the target with the scale and the pen map. Returns a ConvertResult.
    virtual int convertPlot();

    // The steps of setUp: the directories and settings reference of a new circuit, the
    // settings, the lock on the output, the output database, and the area, colours, grid and
    // zone of a new sheet. Each reports its failure and returns 0.
    int makeCircuit(const std::string& dir);
    int loadSettings(const std::string& dir);
    int lockOutput(const std::string& name);
    int openOutput(const std::string& name);
    int configureNewSheet(const std::string& name);

    // Reports a message on the error channel.
    void reportError(int number, const std::string& argument);
    void reportError(int number);
    // Reports a message on the error channel with the cause noted in the error record since it
    // was last cleared (a cause line when there is one), and clears it.
    void reportFailure(int number, const std::string& argument);
    // Reports one of two messages by the output kind (symbol or sheet), with the noted cause.
    void reportByKind(int symbolNumber, int sheetNumber, const std::string& argument);

    std::string target_;
    std::string output_;
    std::string penMap_;
    std::int32_t outputKind_ = kOutputNone;
    double scale_ = 1.6;
    std::int32_t offsetX_ = 0;
    std::int32_t offsetY_ = 0;
    Placement placement_;  // all of the placement parameters, the sizing extensions among them
    std::int32_t keepExisting_ = 1;
    std::int32_t openedExisting_ = 0;
    std::unique_ptr<DatabaseSettings> landata_;    // the loaded "landata" settings
    std::unique_ptr<EnvironmentSettings> lanenv_;  // the loaded "lanenv" settings
    DbHandle database_;                            // the output database
    DbHandle sheet_;  // the sheet of the output database that receives the drawing
    std::unique_ptr<MessageManager> messages_;
    platform::FileLock outputLock_;  // held from opening the output until it is saved

private:
    // The steps of run after the logs are prepared; the exit code.
    int runSteps(int argc, char** argv);
};
