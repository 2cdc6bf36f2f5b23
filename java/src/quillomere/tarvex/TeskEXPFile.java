package quillomere.tarvex;

/**
 * An experiment information file. Set Name, DataPath and LibPath, call Read, then read the
 * fields.
 */
public class TeskEXPFile extends ComFile {
    static {
        NativeLibrary.load();
    }

    /** Name: Set before the call that reads the file. */
    public String Name;
    /** DataPath: Set before the call that reads the file. */
    public String DataPath;
    /** LibPath: Set before the call that reads the file. */
    public String LibPath;
    /** FullPathName: Filled by the native methods. */
    public String FullPathName;
    /** ChipType: Filled by the native methods. */
    public String ChipType;
    /** Date: Filled by the native methods. */
    public String Date;
    /** ChipLot: Filled by the native methods. */
    public String ChipLot;
    /** Operator: Filled by the native methods. */
    public String Operator;
    /** SampleType: Filled by the native methods. */
    public String SampleType;
    /** SampleDesc: Filled by the native methods. */
    public String SampleDesc;
    /** Project: Filled by the native methods. */
    public String Project;
    /** Comments: Filled by the native methods. */
    public String Comments;
    /** Reagents: Filled by the native methods. */
    public String Reagents;
    /** ReagentLot: Filled by the native methods. */
    public String ReagentLot;
    /** Protocol: Filled by the native methods. */
    public String Protocol;
    /** Station: Filled by the native methods. */
    public String Station;
    /** Module: Filled by the native methods. */
    public String Module;
    /** HybridizeDate: Filled by the native methods. */
    public String HybridizeDate;
    /** ScanPixelSize: Filled by the native methods. */
    public String ScanPixelSize;
    /** ScanFilter: Filled by the native methods. */
    public String ScanFilter;
    /** ScanDate: Filled by the native methods. */
    public String ScanDate;
    /** ScannerID: Filled by the native methods. */
    public String ScannerID;
    /** NumberOfScans: Filled by the native methods. */
    public int NumberOfScans;
    /** ScannerType: Filled by the native methods. */
    public String ScannerType;
    /** NumProtocolSteps: Filled by the native methods. */
    public int NumProtocolSteps;
    /** ServerName: Set before the call that reads the file. */
    public String ServerName;
    /** NTUserName: Set before the call that reads the file. */
    public String NTUserName;

    /** Makes an object with no file; set the input fields, then read. */
    public TeskEXPFile() {
        super(TeskEXPFile::new);
    }

    private TeskEXPFile(ComHandle handle) {
        super(handle);
    }

    /**
     * Whether the file exists. Reads Name, DataPath and LibPath.
     *
     * @return true when it exists
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native boolean Exists() throws Exception;

    /**
     * Reads the file named by Name, DataPath and LibPath, then fills every other field.
     *
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native void Read() throws Exception;

    /**
     * One protocol step.
     *
     * @param index index of the item, from 0
     * @return the step
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native String GetProtocolStep(int index) throws Exception;

    /**
     * Every protocol step.
     *
     * @return the steps, in order
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native String[] GetProtocolSteps() throws Exception;

    /**
     * Releases this object's automation object; the next read makes a new one. Objects produced
     * from this one stop answering.
     *
     * @return true
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native boolean ReleaseCOMObject() throws Exception;

}
