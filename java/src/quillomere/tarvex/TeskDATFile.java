package quillomere.tarvex;

/**
 * A scanner image file. Set Name and DataPath (and LibPath for ReadHeader), read, then read the
 * fields and pixels.
 */
public class TeskDATFile extends ComFile {
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
    /** NumPixelsPerRow: Filled by the native methods. */
    public int NumPixelsPerRow;
    /** NumRows: Filled by the native methods. */
    public int NumRows;
    /** MinData: Filled by the native methods. */
    public int MinData;
    /** MaxData: Filled by the native methods. */
    public int MaxData;
    /** PixelSize: Filled by the native methods. */
    public int PixelSize;
    /** CellMargin: Filled by the native methods. */
    public int CellMargin;
    /** ScanSpeed: Filled by the native methods. */
    public int ScanSpeed;
    /** ScanDate: Filled by the native methods. */
    public String ScanDate;
    /** ScannerID: Filled by the native methods. */
    public String ScannerID;
    /** UpperLeftX: Filled by the native methods. */
    public int UpperLeftX;
    /** UpperLeftY: Filled by the native methods. */
    public int UpperLeftY;
    /** UpperRightX: Filled by the native methods. */
    public int UpperRightX;
    /** UpperRightY: Filled by the native methods. */
    public int UpperRightY;
    /** LowerLeftX: Filled by the native methods. */
    public int LowerLeftX;
    /** LowerLeftY: Filled by the native methods. */
    public int LowerLeftY;
    /** LowerRightX: Filled by the native methods. */
    public int LowerRightX;
    /** LowerRightY: Filled by the native methods. */
    public int LowerRightY;
    /** ServerName: Set before the call that reads the file. */
    public String ServerName;
    /** NTUserName: Set before the call that reads the file. */
    public String NTUserName;

    /** Makes an object with no file; set the input fields, then read. */
    public TeskDATFile() {
        super(TeskDATFile::new);
    }

    private TeskDATFile(ComHandle handle) {
        super(handle);
    }

    /**
     * Whether the file exists. Reads Name and DataPath.
     *
     * @return true when it exists
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native boolean Exists() throws Exception;

    /**
     * Reads the file named by Name and DataPath, then fills every other field.
     *
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native void Read() throws Exception;

    /**
     * Reads the header of the file named by Name, DataPath and LibPath, then fills the header
     * fields.
     *
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native void ReadHeader() throws Exception;

    /**
     * The value of one pixel.
     *
     * @param x column of the cell
     * @param y row of the cell
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native int GetIntensity(int x, int y) throws Exception;

    /**
     * The values of one line of pixels.
     *
     * @param line the line, from 0
     * @return the values, or null before a read
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native int[] GetLineIntensities(int line) throws Exception;

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
